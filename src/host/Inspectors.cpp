#include "host/Inspectors.h"

#include <algorithm>

#include "host/HostErrors.h"
#include "host/Inspector.h"

namespace orlo::host {

Inspectors::~Inspectors() {
    // Windows still open hold their items; the items hold their windows.
    for (const auto& inspector : m_open) {
        inspector->releaseItem();
    }
}

Result<std::shared_ptr<Inspector>> Inspectors::Item(int index) const {
    if (index < 1 || index > Count()) {
        return err::hostError(err::kInvalidProcedureCall,
                              QStringLiteral("There is no inspector %1.").arg(index));
    }
    return m_open[static_cast<std::size_t>(index - 1)];
}

std::shared_ptr<Inspector> Inspectors::active() const {
    if (auto a = m_active.lock(); a && a->isDisplayed()) {
        return a;
    }
    return m_open.empty() ? nullptr : m_open.back();
}

void Inspectors::open(const std::shared_ptr<Inspector>& inspector) {
    inspector->setOwner(weak_from_this());
    m_open.push_back(inspector);
    m_active = inspector;
    events.NewInspector.raise(inspector);
}

void Inspectors::activate(const std::shared_ptr<Inspector>& inspector) {
    m_active = inspector;
}

void Inspectors::remove(const Inspector* inspector) {
    std::erase_if(m_open, [inspector](const auto& i) { return i.get() == inspector; });
}

}  // namespace orlo::host
