#include "host/NameSpace.h"

#include <QFileInfo>
#include <algorithm>

#include "host/Folders.h"
#include "host/HostErrors.h"
#include "host/MAPIFolder.h"
#include "host/StoreSession.h"
#include "host/store/StoreHeader.h"

namespace orlo::host {

namespace {

QString canonical(const QString& path) {
    const QFileInfo info(path);
    const QString c = info.canonicalFilePath();
    return c.isEmpty() ? info.absoluteFilePath() : c;
}

}  // namespace

NameSpace::NameSpace(std::shared_ptr<const HostServices> services,
                     std::weak_ptr<Application> application)
    : m_services(std::move(services)), m_application(std::move(application)) {}

std::shared_ptr<Folders> NameSpace::Folders() const {
    std::vector<std::shared_ptr<MAPIFolder>> tops;
    for (const auto& store : m_stores) {
        if (auto top = store->topFolder()) {
            tops.push_back(*top);
        }
    }
    return std::make_shared<::orlo::host::Folders>(std::move(tops), nullptr);
}

std::shared_ptr<StoreSession> NameSpace::sessionOf(const QString& path) const {
    const QString wanted = canonical(path);
    for (const auto& store : m_stores) {
        if (canonical(store->path()) == wanted) {
            return store;
        }
    }
    return nullptr;
}

Status NameSpace::AddStore(const QString& path) {
    if (sessionOf(path)) {
        return okStatus();
    }
    ORLO_TRY_ASSIGN(std::unique_ptr<StoreFile> file,
                    QFileInfo::exists(path)
                        ? StoreFile::open(path)
                        : StoreFile::create(path, QString::fromUtf16(kNewStoreName)));
    m_stores.push_back(std::make_shared<StoreSession>(std::move(file), m_services, m_application));
    events.profileChanged.raise();
    return okStatus();
}

Status NameSpace::RemoveStore(const std::shared_ptr<MAPIFolder>& folder) {
    const auto it = std::find_if(m_stores.begin(), m_stores.end(), [&](const auto& store) {
        return folder && folder->session() == store && folder->isTopFolder();
    });
    if (it == m_stores.end()) {
        return err::hostError(err::kInvalidArgument,
                              QStringLiteral("The folder is not the top folder of an open store."));
    }
    const std::shared_ptr<StoreSession> store = *it;
    m_stores.erase(it);
    store->close();
    events.profileChanged.raise();
    return okStatus();
}

QStringList NameSpace::profileStores() const {
    QStringList paths;
    for (const auto& store : m_stores) {
        paths << store->path();
    }
    return paths;
}

std::vector<Error> NameSpace::openProfile(const QStringList& paths) {
    std::vector<Error> errors;
    for (const QString& path : paths) {
        // A store of the profile that went missing is reported, not re-created.
        if (!QFileInfo::exists(path)) {
            errors.push_back(
                err::hostError(err::kFileNotFound,
                               QStringLiteral("The store file \"%1\" was not found.").arg(path)));
            continue;
        }
        if (Status s = AddStore(path); !s) {
            errors.push_back(s.error());
        } else if (Status w = StoreHeader::checkWritable(path); !w) {
            // Opened for reading: the user sees the items but is told at
            // once that saves cannot be stored.
            errors.push_back(w.error());
        }
    }
    return errors;
}

}  // namespace orlo::host
