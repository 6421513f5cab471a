#include "addin/Connect.h"

#include "addin/OutAddIn.h"
#include "addin/RemoveAddinPst.h"
#include "common/AddinContext.h"
#include "common/basRegistry.h"
#include "host/Application.h"
#include "host/Explorers.h"
#include "host/HostErrors.h"
#include "host/Inspectors.h"
#include "platform/core/ErrorTrap.h"
#include "platform/data/ConnectionPool.h"
#include "platform/ui/MessageBox.h"

namespace orlo::addin {

Connect::Connect(AppFolder appFolder, const QString& registryFile)
    : m_appFolder(std::move(appFolder)), m_registryStore(registryFile) {
    // orlo-desk started with a database for this start only.
    if (const QString location = qEnvironmentVariable(kDatabaseVariable); !location.isEmpty()) {
        ignoreError(m_registryStore.setProcessValue(HKEY_CURRENT_USER, AddinRegistryKey,
                                                    QString::fromUtf16(kDefaultDbLocationValue),
                                                    RegistryValue{REG_SZ, location.toUtf8()}),
                    "the add-in's key path is a valid constant");
    }
}

Connect::~Connect() {
    // Released in reverse order of creation: the working object refers to
    // the context, the context to the registry routines and the services.
    m_outAddIn.reset();
    m_context.reset();
}

Status Connect::OnConnection(const std::shared_ptr<host::Application>& application,
                             host::ConnectMode /*connectMode*/, const host::AddInInst& addInInst,
                             host::CustomArgs& /*custom*/) {
    if (!application) {
        return host::err::hostError(err::kObjectNotSet, QStringLiteral("No desk application."));
    }
    if (application->Explorers()->Count() == 0 && application->Inspectors()->Count() == 0) {
        return okStatus();
    }
    if (!m_outAddIn) {
        MessageBoxService* boxes = application->services()->messageBoxes;
        if (boxes == nullptr) {
            return host::err::hostError(
                err::kCannotCreateObject,
                QStringLiteral("The desk offers no message boxes; Orlo cannot start."));
        }
        m_desk = application;
        m_services = application->services();
        m_registry = std::make_unique<basRegistry>(m_registryStore, m_services->locale);
        m_context = std::make_unique<AddinContext>(m_services->clock, m_services->locale, *boxes,
                                                   m_appFolder, *m_registry);
        m_context->connectionPool = std::make_shared<data::ConnectionPool>();
        m_outAddIn = std::make_unique<OutAddIn>(*m_context, m_desk);
    }
    const QString progId =
        addInInst.ProgId.isEmpty() ? QString::fromUtf16(kProgId) : addInInst.ProgId;
    m_outAddIn->StartAddin(application, progId);
    return okStatus();
}

void Connect::OnDisconnection(host::RemoveMode removeMode, host::CustomArgs& /*custom*/) {
    if (!m_outAddIn) {
        return;  // never started: the desk had no window
    }
    m_outAddIn->StopAddin();
    if (removeMode == host::RemoveMode::UserClosed) {
        RemoveAddinPst(m_desk, m_context->messageBoxes);
        m_context->messageBoxes.show(QString::fromUtf16(kExitWindowText), MsgButtons::OK,
                                     MsgIcon::Information, QString::fromUtf16(kExitWindowTitle));
    }
    m_outAddIn.reset();
    m_context.reset();
    m_registry.reset();
    m_services.reset();
    m_desk.reset();
}

void Connect::OnAddInsUpdate(host::CustomArgs& /*custom*/) {}

void Connect::OnStartupComplete(host::CustomArgs& /*custom*/) {}

void Connect::OnBeginShutdown(host::CustomArgs& /*custom*/) {}

Result<Variant> Connect::CallMethod(const QString& name, const std::vector<Variant>& args) {
    if (!m_outAddIn || !m_outAddIn->isRunning()) {
        return host::err::hostError(err::kObjectNotSet, QStringLiteral("Orlo is not running."));
    }
    const auto is = [&](const char* method) {
        return name.compare(QLatin1String(method), Qt::CaseInsensitive) == 0;
    };
    if (is("displaysearchOrlo3")) {
        m_outAddIn->displaysearchOrlo3();
    } else if (is("DisplayPatientHistory")) {
        m_outAddIn->DisplayPatientHistory();
    } else if (is("PatientDetailrptOrlonetV1")) {
        m_outAddIn->PatientDetailrptOrlonetV1();
    } else if (is("AllowInspectorCBCustomization")) {
        if (args.size() != 1) {
            return host::err::hostError(
                err::kInvalidProcedureCall,
                QStringLiteral("AllowInspectorCBCustomization takes a flag."));
        }
        ORLO_TRY_ASSIGN(const bool flag, args[0].toBool(m_context->locale));
        ORLO_TRY(m_outAddIn->AllowInspectorCBCustomization(flag));
    } else {
        return host::IDTExtensibility2::CallMethod(name, args);
    }
    return Variant();
}

}  // namespace orlo::addin
