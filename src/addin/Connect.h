#pragma once
// Connect: the add-in object the desk creates for the ProgId
// "OrlonetPROv1.Connect" (through orlo_create_addin in liborlo). It owns the
// add-in's state (AddinContext) and its working object (OutAddIn) from
// OnConnection to OnDisconnection.
//
// OnConnection does nothing while the desk has no window at all (no
// explorer, no inspector): the desk is running for another program then.
// Otherwise it creates the working object and starts it. OnDisconnection
// stops it; when the user removed the add-in, it also takes the add-in's
// store out of the profile and says goodbye.

#include <QString>
#include <memory>

#include "host/addins/IDTExtensibility2.h"
#include "platform/core/AppFolder.h"
#include "platform/registry/RegistryStore.h"

namespace orlo {
struct AddinContext;
class basRegistry;
}  // namespace orlo
namespace orlo::host {
struct HostServices;
}

namespace orlo::addin {

class OutAddIn;

inline constexpr char16_t kProgId[] = u"OrlonetPROv1.Connect";
// The shared database's location for one start of the desk (its --db), read
// in place of the saved setting.
inline constexpr char kDatabaseVariable[] = "ORLO_DB";

// The exit window shown after the user removed the add-in.
inline constexpr char16_t kExitWindowTitle[] = u"Orlo";
inline constexpr char16_t kExitWindowText[] =
    u"Orlo has been removed from the desk.\r\n\r\n"
    u"Its folders are closed; the patients and appointments stay in the shared database. "
    u"Thank you for using Orlo.";

class Connect final : public host::IDTExtensibility2 {
public:
    // `appFolder` is the folder liborlo was loaded from (a test's folder in
    // tests); `registryFile` the per-user settings file, empty for the
    // user's own (RegistryStore's default).
    explicit Connect(AppFolder appFolder, const QString& registryFile = {});
    ~Connect() override;
    Connect(const Connect&) = delete;
    Connect& operator=(const Connect&) = delete;

    // An error only when the desk gives the add-in no message boxes.
    Status OnConnection(const std::shared_ptr<host::Application>& application,
                        host::ConnectMode connectMode, const host::AddInInst& addInInst,
                        host::CustomArgs& custom) override;
    void OnDisconnection(host::RemoveMode removeMode, host::CustomArgs& custom) override;
    void OnAddInsUpdate(host::CustomArgs& custom) override;
    void OnStartupComplete(host::CustomArgs& custom) override;
    void OnBeginShutdown(host::CustomArgs& custom) override;
    // displaysearchOrlo3, DisplayPatientHistory, PatientDetailrptOrlonetV1
    // and AllowInspectorCBCustomization(flag) of the working object.
    Result<Variant> CallMethod(const QString& name, const std::vector<Variant>& args) override;

    // The working object and the state while connected; null otherwise.
    OutAddIn* outAddIn() const { return m_outAddIn.get(); }
    AddinContext* context() const { return m_context.get(); }
    const AppFolder& appFolder() const { return m_appFolder; }

private:
    AppFolder m_appFolder;
    RegistryStore m_registryStore;
    // While connected: the desk, its services (which the context refers
    // to), the registry routines in the desk's locale, the state and the
    // working object, created in this order and released in reverse.
    std::shared_ptr<host::Application> m_desk;
    std::shared_ptr<const host::HostServices> m_services;
    std::unique_ptr<basRegistry> m_registry;
    std::unique_ptr<AddinContext> m_context;
    std::unique_ptr<OutAddIn> m_outAddIn;
};

}  // namespace orlo::addin
