#include "host/addins/AddinManager.h"

#include <QLibrary>
#include <algorithm>

#include "host/addins/AddinErrors.h"

namespace orlo::host {

struct AddinManager::Loaded {
    AddinRegistration registration;
    std::unique_ptr<IDTExtensibility2> object;
};

namespace {

// Makes the add-in object from its library. The library is never unloaded
// (see the header).
Result<std::unique_ptr<IDTExtensibility2>> createAddin(const AddinRegistration& addin) {
    if (addin.path.isEmpty()) {
        return err::hostError(err::kCannotCreateObject,
                              QStringLiteral("The add-in \"%1\" has no library path (\"%2\") "
                                             "in the add-in list.")
                                  .arg(addin.progId, QString::fromUtf16(AddinList::kPathValue)));
    }
    QLibrary library(addin.path);
    if (!library.load()) {
        return err::hostError(
            err::kErrorLoadingDll,
            QStringLiteral("The add-in \"%1\" could not be loaded from \"%2\": %3")
                .arg(addin.progId, addin.path, library.errorString()));
    }
    const auto create = reinterpret_cast<CreateAddinFunction>(library.resolve(kCreateAddinSymbol));
    if (create == nullptr) {
        return err::hostError(
            err::kDllEntryPointNotFound,
            QStringLiteral("The library \"%1\" of the add-in \"%2\" has no "
                           "entry point %3.")
                .arg(addin.path, addin.progId, QString::fromLatin1(kCreateAddinSymbol)));
    }
    std::unique_ptr<IDTExtensibility2> object(create(addin.progId.toUtf8().constData()));
    if (!object) {
        return err::hostError(err::kCannotCreateObject,
                              QStringLiteral("The library \"%1\" has no add-in \"%2\".")
                                  .arg(addin.path, addin.progId));
    }
    return object;
}

}  // namespace

AddinManager::AddinManager(RegistryStore& settings, std::shared_ptr<Application> application)
    : m_list(settings), m_application(std::move(application)) {}

AddinManager::~AddinManager() {
    // A shell that forgot to shut down still lets its add-ins clean up.
    if (!m_connected.empty()) {
        shutdown();
    }
}

std::vector<std::unique_ptr<AddinManager::Loaded>>::const_iterator AddinManager::find(
    const QString& progId) const {
    return std::find_if(m_connected.begin(), m_connected.end(), [&](const auto& loaded) {
        return loaded->registration.progId.compare(progId, Qt::CaseInsensitive) == 0;
    });
}

Status AddinManager::connect(const AddinRegistration& registration, ConnectMode mode) {
    ORLO_TRY_ASSIGN(std::unique_ptr<IDTExtensibility2> object, createAddin(registration));
    auto loaded = std::make_unique<Loaded>(Loaded{registration, std::move(object)});
    CustomArgs custom;
    const AddInInst inst{registration.progId, registration.friendlyName, registration.path};
    if (Status s = loaded->object->OnConnection(m_application, mode, inst, custom); !s) {
        // Not connected: the object goes without OnDisconnection.
        return s;
    }
    m_connected.push_back(std::move(loaded));
    return okStatus();
}

std::vector<AddinLoadError> AddinManager::connectStartupAddins() {
    std::vector<AddinLoadError> errors;
    const Result<std::vector<AddinRegistration>> all = m_list.registrations();
    if (!all) {
        errors.push_back({QString(), all.error()});
        return errors;
    }
    for (const AddinRegistration& registration : *all) {
        if (!registration.loadsAtStartup() || find(registration.progId) != m_connected.end()) {
            continue;
        }
        if (Status s = connect(registration, ConnectMode::Startup); !s) {
            errors.push_back({registration.progId, s.error()});
        }
    }
    return errors;
}

Status AddinManager::connectAddin(const QString& progId, ConnectMode mode) {
    if (find(progId) != m_connected.end()) {
        return okStatus();
    }
    ORLO_TRY_ASSIGN(AddinRegistration registration, m_list.registration(progId));
    ORLO_TRY(connect(registration, mode));
    addinsUpdated();
    return m_list.setLoadBehavior(registration.progId, AddinList::kLoadAtStartup);
}

void AddinManager::startupComplete() {
    CustomArgs custom;
    for (const auto& loaded : m_connected) {
        loaded->object->OnStartupComplete(custom);
    }
}

Status AddinManager::removeAddin(const QString& progId) {
    const auto it = find(progId);
    if (it == m_connected.end()) {
        // Listed but not running (its library failed to load): only the
        // list changes.
        ORLO_TRY_ASSIGN(AddinRegistration registration, m_list.registration(progId));
        return m_list.setLoadBehavior(registration.progId, AddinList::kNotLoaded);
    }
    const auto index = std::distance(m_connected.cbegin(), it);
    std::unique_ptr<Loaded> loaded = std::move(m_connected[static_cast<std::size_t>(index)]);
    m_connected.erase(m_connected.begin() + index);
    CustomArgs custom;
    loaded->object->OnDisconnection(RemoveMode::UserClosed, custom);
    const QString name = loaded->registration.progId;
    loaded.reset();
    addinsUpdated();
    return m_list.setLoadBehavior(name, AddinList::kNotLoaded);
}

void AddinManager::shutdown() {
    CustomArgs custom;
    for (const auto& loaded : m_connected) {
        loaded->object->OnBeginShutdown(custom);
    }
    while (!m_connected.empty()) {
        std::unique_ptr<Loaded> loaded = std::move(m_connected.back());
        m_connected.pop_back();
        loaded->object->OnDisconnection(RemoveMode::HostShutdown, custom);
    }
}

void AddinManager::addinsUpdated() {
    CustomArgs custom;
    for (const auto& loaded : m_connected) {
        loaded->object->OnAddInsUpdate(custom);
    }
}

QStringList AddinManager::connectedAddins() const {
    QStringList names;
    for (const auto& loaded : m_connected) {
        names << loaded->registration.progId;
    }
    return names;
}

IDTExtensibility2* AddinManager::addin(const QString& progId) const {
    const auto it = find(progId);
    return it == m_connected.end() ? nullptr : (*it)->object.get();
}

}  // namespace orlo::host
