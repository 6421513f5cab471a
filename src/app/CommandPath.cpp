#include "app/CommandPath.h"

#include <QJsonObject>

#include "host/HostErrors.h"
#include "host/commandbars/CommandBar.h"

namespace orlo::desk {

using host::CommandBarControl;
using host::ControlType;

Result<std::shared_ptr<CommandBarControl>> controlAt(const host::CommandBar& bar,
                                                     const QStringList& captions) {
    if (captions.isEmpty()) {
        return host::err::hostError(host::err::kInvalidArgument,
                                    QStringLiteral("No menu caption given."));
    }
    std::shared_ptr<host::CommandBarControls> controls = bar.Controls();
    std::shared_ptr<CommandBarControl> control;
    for (qsizetype i = 0; i < captions.size(); ++i) {
        if (!controls) {
            return host::err::hostError(
                host::err::kObjectNotFound,
                QStringLiteral("\"%1\" is not a menu.").arg(captions.mid(0, i).join(u" > ")));
        }
        Result<std::shared_ptr<CommandBarControl>> found = controls->Item(captions[i]);
        if (!found) {
            return host::err::hostError(
                host::err::kObjectNotFound,
                QStringLiteral("There is no menu command \"%1\".").arg(captions.join(u" > ")));
        }
        control = *found;
        controls = control->Controls();
    }
    return control;
}

QJsonArray describeControls(const host::CommandBar& bar) {
    QJsonArray out;
    for (const auto& c : *bar.Controls()) {
        QJsonObject o{
            {QStringLiteral("caption"), c->Caption()},
            {QStringLiteral("type"),
             c->Type() == ControlType::Popup ? QStringLiteral("popup") : QStringLiteral("button")},
            {QStringLiteral("tag"), c->Tag()},
            {QStringLiteral("enabled"), c->Enabled()},
            {QStringLiteral("visible"), c->Visible()}};
        if (const auto sub = c->CommandBar()) {
            o.insert(QStringLiteral("controls"), describeControls(*sub));
        }
        out.append(o);
    }
    return out;
}

}  // namespace orlo::desk
