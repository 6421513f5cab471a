#pragma once
// NameSpace: the "MAPI" namespace: the open stores, each seen as one
// top-level folder in Folders, and the profile, the list of store files
// that the desk shell keeps and opens again at its next start.

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "host/HostServices.h"
#include "host/events/Event.h"
#include "platform/core/Result.h"

namespace orlo::host {

class Application;
class Folders;
class MAPIFolder;
class StoreSession;

class NameSpace : public std::enable_shared_from_this<NameSpace> {
public:
    struct Events {
        // A store was added or removed: the profile changed.
        Event<> profileChanged;
    };
    Events events;

    // The top folder of a store file created by AddStore.
    static constexpr char16_t kNewStoreName[] = u"Personal Folders";

    NameSpace(std::shared_ptr<const HostServices> services, std::weak_ptr<Application> application);

    // The top folders of the open stores, in the order they were opened.
    std::shared_ptr<::orlo::host::Folders> Folders() const;
    // Opens the store file at path; a missing file becomes a new store whose
    // top folder is "Personal Folders". A store already open is left as is.
    Status AddStore(const QString& path);
    // Closes the store whose top folder this is and drops it from the profile.
    Status RemoveStore(const std::shared_ptr<MAPIFolder>& folder);

    // The store files of the profile, in order.
    QStringList profileStores() const;
    // Opens every store of a saved profile; the errors of those that failed.
    std::vector<Error> openProfile(const QStringList& paths);

private:
    std::shared_ptr<StoreSession> sessionOf(const QString& path) const;

    std::shared_ptr<const HostServices> m_services;
    std::weak_ptr<Application> m_application;
    std::vector<std::shared_ptr<StoreSession>> m_stores;
};

}  // namespace orlo::host
