#include "platform/registry/RegistryData.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace orlo {

namespace {

constexpr char16_t kFormatName[] = u"orlo-registry";
constexpr QLatin1Char kSeparator('\\');

QString folded(const QString& s) {
    return s.toCaseFolded();
}

Error corrupt(const QString& fileName, const QString& why) {
    return makeError(err::kRegistryCorrupt,
                     QStringLiteral("The settings file %1 is corrupt: %2").arg(fileName, why),
                     QStringLiteral("Registry"));
}

bool isUInt32(const QJsonValue& v) {
    if (!v.isDouble()) {
        return false;
    }
    const double d = v.toDouble();
    return d >= 0 && d <= 4294967295.0 && d == static_cast<double>(static_cast<qint64>(d));
}

}  // namespace

QString RegistryData::id(RegistryRoot root, const QStringList& names) {
    return QString::number(static_cast<quint32>(root), 16) + kSeparator +
           folded(names.join(kSeparator));
}

Result<QStringList> RegistryData::splitPath(QStringView path) {
    if (path.isEmpty()) {
        return QStringList();
    }
    if (path.endsWith(kSeparator)) {
        path.chop(1);
    }
    QStringList names;
    for (const QStringView part : path.split(kSeparator)) {
        if (part.isEmpty()) {
            return makeError(err::kRegistryBadPath,
                             QStringLiteral("Invalid key path: ") + path.toString(),
                             QStringLiteral("Registry"));
        }
        names << part.toString();
    }
    return names;
}

std::optional<RegistryKey> RegistryData::findKey(RegistryRoot root,
                                                 const QStringList& names) const {
    if (names.isEmpty()) {
        return RegistryKey{root, QString()};
    }
    const auto it = m_keys.find(id(root, names));
    if (it == m_keys.end()) {
        return std::nullopt;
    }
    return it->second.key;
}

RegistryKey RegistryData::createKey(RegistryRoot root, const QStringList& names) {
    QStringList spelled;
    for (const QString& name : names) {
        QStringList next = spelled;
        next << name;
        auto it = m_keys.find(id(root, next));
        if (it == m_keys.end()) {
            const RegistryKey k{root, next.join(kSeparator)};
            it = m_keys.emplace(id(root, next), Key{k, {}}).first;
        }
        spelled = it->second.key.path.split(kSeparator);
    }
    return RegistryKey{root, spelled.join(kSeparator)};
}

RegistryData::Key* RegistryData::keyFor(const RegistryKey& key) {
    const QStringList names = key.path.isEmpty() ? QStringList() : key.path.split(kSeparator);
    const QString k = id(key.root, names);
    auto it = m_keys.find(k);
    if (it == m_keys.end()) {
        createKey(key.root, names);
        it = m_keys.find(k);
        if (it == m_keys.end()) {
            // The root: values directly under a predefined key.
            it = m_keys.emplace(k, Key{RegistryKey{key.root, QString()}, {}}).first;
        }
    }
    return &it->second;
}

const RegistryData::Key* RegistryData::keyFor(const RegistryKey& key) const {
    const QStringList names = key.path.isEmpty() ? QStringList() : key.path.split(kSeparator);
    const auto it = m_keys.find(id(key.root, names));
    return it == m_keys.end() ? nullptr : &it->second;
}

const RegistryValue* RegistryData::value(const RegistryKey& key, const QString& name) const {
    const Key* k = keyFor(key);
    if (k == nullptr) {
        return nullptr;
    }
    const auto it = k->values.find(folded(name));
    return it == k->values.end() ? nullptr : &it->second.value;
}

QStringList RegistryData::valueNames(const RegistryKey& key) const {
    QStringList names;
    if (const Key* k = keyFor(key)) {
        for (const auto& [f, v] : k->values) {
            names << v.name;
        }
    }
    return names;
}

QStringList RegistryData::subkeyNames(const RegistryKey& key) const {
    const QString prefix =
        id(key.root, key.path.isEmpty() ? QStringList() : key.path.split(kSeparator));
    // The root's id ends in the separator already ("80000001\\").
    const QString below = key.path.isEmpty() ? prefix : prefix + kSeparator;
    QStringList names;
    // Ids sort by root and folded path, so a key's descendants follow it.
    for (auto it = m_keys.lower_bound(below); it != m_keys.end(); ++it) {
        if (!it->first.startsWith(below)) {
            break;
        }
        const QStringView rest = QStringView(it->first).mid(below.size());
        if (!rest.isEmpty() && !rest.contains(kSeparator)) {
            names << it->second.key.path.section(kSeparator, -1);
        }
    }
    return names;
}

void RegistryData::setValue(const RegistryKey& key, const QString& name,
                            const RegistryValue& value) {
    Key* k = keyFor(key);
    auto it = k->values.find(folded(name));
    if (it == k->values.end()) {
        k->values.emplace(folded(name), NamedValue{name, value});
    } else {
        it->second.value = value;
    }
}

QByteArray RegistryData::serialize() const {
    QJsonArray keys;
    for (const auto& [k, key] : m_keys) {
        QJsonArray values;
        for (const auto& [f, v] : key.values) {
            values.append(QJsonObject{
                {QStringLiteral("name"), v.name},
                {QStringLiteral("type"), static_cast<qint64>(v.value.type)},
                {QStringLiteral("data"), QString::fromLatin1(v.value.data.toBase64())},
            });
        }
        keys.append(QJsonObject{
            {QStringLiteral("root"), registryRootName(key.key.root)},
            {QStringLiteral("path"), key.key.path},
            {QStringLiteral("values"), values},
        });
    }
    const QJsonObject top{
        {QStringLiteral("format"), QString::fromUtf16(kFormatName)},
        {QStringLiteral("version"), kVersion},
        {QStringLiteral("keys"), keys},
    };
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

Result<RegistryData> RegistryData::parse(const QByteArray& bytes, const QString& fileName) {
    QJsonParseError pe{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &pe);
    if (pe.error != QJsonParseError::NoError) {
        return corrupt(fileName, pe.errorString() + QStringLiteral(" at offset ") +
                                     QString::number(pe.offset));
    }
    if (!doc.isObject()) {
        return corrupt(fileName, QStringLiteral("not a settings object"));
    }
    const QJsonObject top = doc.object();
    if (top.value(QStringLiteral("format")).toString() != QStringView(kFormatName)) {
        return corrupt(fileName, QStringLiteral("no format marker"));
    }
    const QJsonValue version = top.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() != kVersion) {
        return corrupt(
            fileName, QStringLiteral("unsupported version ") + QString::number(version.toDouble()));
    }
    const QJsonValue keys = top.value(QStringLiteral("keys"));
    if (!keys.isArray()) {
        return corrupt(fileName, QStringLiteral("no key list"));
    }
    RegistryData data;
    for (const QJsonValue& kv : keys.toArray()) {
        const QJsonObject ko = kv.toObject();
        const std::optional<RegistryRoot> root =
            registryRootFromName(ko.value(QStringLiteral("root")).toString());
        const QJsonValue path = ko.value(QStringLiteral("path"));
        const QJsonValue values = ko.value(QStringLiteral("values"));
        if (!kv.isObject() || !root || !path.isString() || !values.isArray()) {
            return corrupt(fileName, QStringLiteral("malformed key entry"));
        }
        const Result<QStringList> names = splitPath(path.toString());
        if (!names.ok()) {
            return corrupt(fileName, names.error().description);
        }
        const RegistryKey key = data.createKey(*root, *names);
        for (const QJsonValue& vv : values.toArray()) {
            const QJsonObject vo = vv.toObject();
            const QJsonValue name = vo.value(QStringLiteral("name"));
            const QJsonValue type = vo.value(QStringLiteral("type"));
            const QJsonValue raw = vo.value(QStringLiteral("data"));
            if (!vv.isObject() || !name.isString() || !isUInt32(type) || !raw.isString()) {
                return corrupt(fileName, QStringLiteral("malformed value entry in ") + key.path);
            }
            const auto decoded = QByteArray::fromBase64Encoding(
                raw.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded) {
                return corrupt(fileName, QStringLiteral("malformed value data in ") + key.path);
            }
            data.setValue(key, name.toString(),
                          RegistryValue{static_cast<quint32>(type.toInteger()), *decoded});
        }
    }
    return data;
}

}  // namespace orlo
