#include "host/Inspector.h"

#include "host/HostErrors.h"
#include "host/Inspectors.h"
#include "host/StoreSession.h"
#include "host/commandbars/CommandBars.h"
#include "host/forms/FormPage.h"

namespace orlo::host {

namespace {

Error itemGone() {
    return err::hostError(err::kItemDeleted, QStringLiteral("The inspector's item is gone."));
}

}  // namespace

Inspector::Inspector(const std::shared_ptr<Item>& item)
    : m_item(item), m_commandBars(CommandBars::forInspector()) {}

void Inspector::setOwner(std::weak_ptr<Inspectors> owner) {
    m_owner = std::move(owner);
    m_shownItem = m_item.lock();
}

Result<std::shared_ptr<FormPage>> Inspector::ModifiedFormPages(const QString& name) const {
    const auto item = m_item.lock();
    if (!item) {
        return itemGone();
    }
    return item->formPage(name);
}

std::vector<std::shared_ptr<FormPage>> Inspector::formPages() const {
    const auto item = m_item.lock();
    return item ? item->formPages() : std::vector<std::shared_ptr<FormPage>>();
}

QString Inspector::Caption() const {
    const auto item = m_item.lock();
    if (!item) {
        return {};
    }
    const TitleRule rule = item->m_session->services().forms.titleRule(item->MessageClass());
    PropertyMap values;
    for (const QString& name : rule.name.properties) {
        values.emplace(name, item->boundValue(name).valueOr(Variant()));
    }
    const QString name = rule.name.text(values, item->locale());
    return QStringLiteral("%1 - %2").arg(name.isEmpty() ? QStringLiteral("Untitled") : name,
                                         rule.kind);
}

Result<std::shared_ptr<FormControl>> Inspector::formControl(const QString& page,
                                                            const QString& control) const {
    ORLO_TRY_ASSIGN(const std::shared_ptr<FormPage> p, ModifiedFormPages(page));
    return p->Controls(control);
}

Status Inspector::Close(SaveMode mode) {
    const auto item = m_item.lock();
    if (!item) {
        return itemGone();
    }
    return item->Close(mode);
}

void Inspector::Activate() {
    if (const auto owner = m_owner.lock()) {
        owner->activate(shared_from_this());
    }
}

void Inspector::closeWindow() {
    const auto owner = m_owner.lock();
    if (!owner) {
        return;
    }
    const auto self = shared_from_this();
    events.Close.raise();
    owner->remove(this);
    m_owner.reset();
    m_shownItem.reset();
}

}  // namespace orlo::host
