#include "app/ManagedAddins.h"

#include "platform/ui/MessageBox.h"

namespace orlo::desk {

ManagedAddins::ManagedAddins(RegistryStore& settings,
                             std::shared_ptr<host::Application> application,
                             MessageBoxService& messageBoxes)
    : m_manager(settings, std::move(application)), m_messageBoxes(messageBoxes) {}

std::vector<AddinEntry> ManagedAddins::addins() const {
    std::vector<AddinEntry> out;
    const auto registrations = m_manager.list().registrations();
    if (!registrations) {
        return out;
    }
    const QStringList connected = m_manager.connectedAddins();
    for (const host::AddinRegistration& r : *registrations) {
        const auto problem = m_problems.find(r.progId);
        out.push_back(AddinEntry{r.progId, r.friendlyName, r.path, connected.contains(r.progId),
                                 problem == m_problems.end() ? QString() : problem->second});
    }
    return out;
}

void ManagedAddins::show(const QString& progId, const Error& error) {
    m_problems[progId] = error.description;
    const QString text = progId.isEmpty()
                             ? error.description
                             : QStringLiteral("The add-in \"%1\" could not be loaded.\r\n%2")
                                   .arg(progId, error.description);
    m_messageBoxes.show(text, MsgButtons::OK, MsgIcon::Exclamation,
                        QString::fromUtf16(kLoadErrorTitle));
}

void ManagedAddins::startup() {
    for (const host::AddinLoadError& e : m_manager.connectStartupAddins()) {
        show(e.progId, e.error);
    }
    m_manager.startupComplete();
}

void ManagedAddins::shutdown() {
    m_manager.shutdown();
}

Status ManagedAddins::remove(const QString& progId) {
    return m_manager.removeAddin(progId);
}

Result<Variant> ManagedAddins::call(const QString& progId, const QString& method,
                                    const std::vector<Variant>& args) {
    host::IDTExtensibility2* addin = m_manager.addin(progId);
    if (addin == nullptr) {
        return AddinHost::call(progId, method, args);
    }
    return addin->CallMethod(method, args);
}

}  // namespace orlo::desk
