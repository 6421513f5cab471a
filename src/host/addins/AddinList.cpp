#include "host/addins/AddinList.h"

#include <QtEndian>

#include "host/HostErrors.h"

namespace orlo::host {

namespace {

QString keyPath(const QString& progId) {
    return QString::fromUtf16(AddinList::kAddinsKey) + QLatin1Char('\\') + progId;
}

// Text as the settings store keeps it: UTF-8, one trailing NUL dropped (a
// value written by another tool may end with one).
QString textOf(const RegistryValue& value) {
    QByteArray data = value.data;
    if (data.endsWith('\0')) {
        data.chop(1);
    }
    return QString::fromUtf8(data);
}

RegistryValue textValue(const QString& text) {
    return RegistryValue{kRegSz, text.toUtf8()};
}

RegistryValue dwordValue(quint32 n) {
    QByteArray data(4, '\0');
    qToLittleEndian(n, data.data());
    return RegistryValue{kRegDword, data};
}

// A DWORD; anything else reads as 0 (not loaded).
quint32 numberOf(const RegistryValue& value) {
    if (value.type == kRegDword && value.data.size() == 4) {
        return qFromLittleEndian<quint32>(value.data.constData());
    }
    return 0;
}

Error notListed(const QString& progId) {
    return err::hostError(
        err::kCannotCreateObject,
        QStringLiteral("The add-in \"%1\" is not in the add-in list.").arg(progId));
}

}  // namespace

bool AddinRegistration::loadsAtStartup() const {
    return (loadBehavior & AddinList::kLoadAtStartup) == AddinList::kLoadAtStartup;
}

Result<AddinRegistration> AddinList::registration(const QString& progId) const {
    const Result<RegistryKey> key = m_store.openKey(RegistryRoot::CurrentUser, keyPath(progId));
    if (!key) {
        return key.error().number == err::kRegistryFileNotFound ? notListed(progId) : key.error();
    }
    AddinRegistration addin;
    addin.progId = key->path.section(QLatin1Char('\\'), -1);
    const auto read = [&](const char16_t* name) -> Result<std::optional<RegistryValue>> {
        return m_store.queryValue(*key, QString::fromUtf16(name));
    };
    const auto path = read(kPathValue);
    const auto behaviour = read(kLoadBehaviorValue);
    const auto friendly = read(kFriendlyNameValue);
    for (const auto* r : {&path, &behaviour, &friendly}) {
        if (!r->ok()) {
            return r->error();
        }
    }
    if (*path) {
        addin.path = textOf(**path);
    }
    if (*behaviour) {
        addin.loadBehavior = numberOf(**behaviour);
    }
    if (*friendly) {
        addin.friendlyName = textOf(**friendly);
    }
    return addin;
}

Result<std::vector<AddinRegistration>> AddinList::registrations() const {
    std::vector<AddinRegistration> list;
    const Result<RegistryKey> key =
        m_store.openKey(RegistryRoot::CurrentUser, QString::fromUtf16(kAddinsKey));
    if (!key) {
        if (key.error().number == err::kRegistryFileNotFound) {
            return list;
        }
        return key.error();
    }
    ORLO_TRY_ASSIGN(const QStringList names, m_store.subkeyNames(*key));
    for (const QString& progId : names) {
        ORLO_TRY_ASSIGN(AddinRegistration addin, registration(progId));
        list.push_back(std::move(addin));
    }
    return list;
}

Status AddinList::registerAddin(const AddinRegistration& addin) {
    if (addin.progId.isEmpty() || addin.progId.contains(QLatin1Char('\\'))) {
        return err::hostError(err::kInvalidArgument,
                              QStringLiteral("\"%1\" is not a ProgId.").arg(addin.progId));
    }
    ORLO_TRY_ASSIGN(const RegistryKey key,
                    m_store.createKey(RegistryRoot::CurrentUser, keyPath(addin.progId)));
    if (Status s = m_store.setValue(key, QString::fromUtf16(kPathValue), textValue(addin.path));
        !s) {
        return s;
    }
    if (Status s = m_store.setValue(key, QString::fromUtf16(kLoadBehaviorValue),
                                    dwordValue(addin.loadBehavior));
        !s) {
        return s;
    }
    if (!addin.friendlyName.isEmpty()) {
        return m_store.setValue(key, QString::fromUtf16(kFriendlyNameValue),
                                textValue(addin.friendlyName));
    }
    return okStatus();
}

Status AddinList::setLoadBehavior(const QString& progId, quint32 loadBehavior) {
    const Result<RegistryKey> key = m_store.openKey(RegistryRoot::CurrentUser, keyPath(progId));
    if (!key) {
        return key.error().number == err::kRegistryFileNotFound ? notListed(progId) : key.error();
    }
    return m_store.setValue(*key, QString::fromUtf16(kLoadBehaviorValue), dwordValue(loadBehavior));
}

}  // namespace orlo::host
