#include "host/Explorers.h"

#include <algorithm>

#include "host/Explorer.h"
#include "host/HostErrors.h"

namespace orlo::host {

Result<std::shared_ptr<Explorer>> Explorers::Item(int index) const {
    if (index < 1 || index > Count()) {
        return err::hostError(err::kInvalidProcedureCall,
                              QStringLiteral("There is no explorer %1.").arg(index));
    }
    return m_open[static_cast<std::size_t>(index - 1)];
}

std::shared_ptr<Explorer> Explorers::Add(const std::shared_ptr<MAPIFolder>& folder) {
    auto explorer = std::make_shared<Explorer>(folder, weak_from_this());
    m_open.push_back(explorer);
    m_active = explorer;
    events.NewExplorer.raise(explorer);
    return explorer;
}

std::shared_ptr<Explorer> Explorers::active() const {
    if (auto a = m_active.lock(); a && a->isOpen()) {
        return a;
    }
    return m_open.empty() ? nullptr : m_open.back();
}

void Explorers::activate(const std::shared_ptr<Explorer>& explorer) {
    m_active = explorer;
}

void Explorers::remove(const Explorer* explorer) {
    std::erase_if(m_open, [explorer](const auto& e) { return e.get() == explorer; });
}

}  // namespace orlo::host
