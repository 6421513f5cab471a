#include "host/Inspector.h"

#include "host/Inspectors.h"
#include "host/commandbars/CommandBars.h"
#include "host/forms/FormPage.h"

namespace orlo::host {

Inspector::Inspector(std::shared_ptr<Item> item)
    : m_item(std::move(item)), m_commandBars(CommandBars::forInspector()) {}

Result<std::shared_ptr<FormPage>> Inspector::ModifiedFormPages(const QString& name) const {
    return m_item->formPage(name);
}

const std::vector<std::shared_ptr<FormPage>>& Inspector::formPages() const {
    return m_item->formPages();
}

Result<std::shared_ptr<FormControl>> Inspector::formControl(const QString& page,
                                                            const QString& control) const {
    const Result<std::shared_ptr<FormPage>> p = ModifiedFormPages(page);
    if (!p) {
        return p.error();
    }
    return (*p)->Controls(control);
}

Status Inspector::Close(SaveMode mode) {
    return m_item->Close(mode);
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
}

}  // namespace orlo::host
