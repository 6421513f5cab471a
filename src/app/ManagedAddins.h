#pragma once
// ManagedAddins: the desk's add-ins through the host's AddinManager: the
// add-ins listed in the per-user settings store, loaded from their
// libraries at start-up. A library that fails to load or an add-in that
// refuses to connect is shown to the user in a message box; the desk and
// the other add-ins carry on.

#include <map>
#include <memory>

#include "app/AddinHost.h"
#include "host/addins/AddinManager.h"

namespace orlo {
class MessageBoxService;
class RegistryStore;
}  // namespace orlo

namespace orlo::desk {

class ManagedAddins final : public AddinHost {
public:
    static constexpr char16_t kLoadErrorTitle[] = u"Orlo Desk - Add-in Error";

    ManagedAddins(RegistryStore& settings, std::shared_ptr<host::Application> application,
                  MessageBoxService& messageBoxes);

    std::vector<AddinEntry> addins() const override;
    void startup() override;
    void shutdown() override;
    Status remove(const QString& progId) override;
    Result<Variant> call(const QString& progId, const QString& method,
                         const std::vector<Variant>& args) override;

private:
    void show(const QString& progId, const Error& error);

    // The add-in list is read afresh for every look.
    mutable host::AddinManager m_manager;
    MessageBoxService& m_messageBoxes;
    std::map<QString, QString> m_problems;  // by ProgId
};

}  // namespace orlo::desk
