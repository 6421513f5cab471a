#include "platform/registry/RegistryData.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

using namespace Qt::Literals::StringLiterals;

namespace orlo {

namespace {

constexpr QStringView kFormatName = u"orlo-registry";
constexpr QLatin1Char kSeparator('\\');

QString folded(const QString& s) {
    return s.toCaseFolded();
}

Error corrupt(const QString& fileName, const QString& why) {
    return makeError(err::kRegistryCorrupt,
                     u"The settings file %1 is corrupt: %2"_s.arg(fileName, why), u"Registry"_s);
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
            return makeError(err::kRegistryBadPath, u"Invalid key path: "_s + path.toString(),
                             u"Registry"_s);
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
                {u"name"_s, v.name},
                {u"type"_s, static_cast<qint64>(v.value.type)},
                {u"data"_s, QString::fromLatin1(v.value.data.toBase64())},
            });
        }
        keys.append(QJsonObject{
            {u"root"_s, registryRootName(key.key.root)},
            {u"path"_s, key.key.path},
            {u"values"_s, values},
        });
    }
    const QJsonObject top{
        {u"format"_s, kFormatName.toString()},
        {u"version"_s, kVersion},
        {u"keys"_s, keys},
    };
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

Result<RegistryData> RegistryData::parse(const QByteArray& bytes, const QString& fileName) {
    QJsonParseError pe{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &pe);
    if (pe.error != QJsonParseError::NoError) {
        return corrupt(fileName, pe.errorString() + u" at offset "_s + QString::number(pe.offset));
    }
    if (!doc.isObject()) {
        return corrupt(fileName, u"not a settings object"_s);
    }
    const QJsonObject top = doc.object();
    if (top.value(u"format"_s).toString() != kFormatName) {
        return corrupt(fileName, u"no format marker"_s);
    }
    const QJsonValue version = top.value(u"version"_s);
    if (!version.isDouble() || version.toDouble() != kVersion) {
        return corrupt(fileName, u"unsupported version "_s + QString::number(version.toDouble()));
    }
    const QJsonValue keys = top.value(u"keys"_s);
    if (!keys.isArray()) {
        return corrupt(fileName, u"no key list"_s);
    }
    RegistryData data;
    for (const QJsonValue& kv : keys.toArray()) {
        const QJsonObject ko = kv.toObject();
        const std::optional<RegistryRoot> root =
            registryRootFromName(ko.value(u"root"_s).toString());
        const QJsonValue path = ko.value(u"path"_s);
        const QJsonValue values = ko.value(u"values"_s);
        if (!kv.isObject() || !root || !path.isString() || !values.isArray()) {
            return corrupt(fileName, u"malformed key entry"_s);
        }
        const Result<QStringList> names = splitPath(path.toString());
        if (!names.ok()) {
            return corrupt(fileName, names.error().description);
        }
        const RegistryKey key = data.createKey(*root, *names);
        for (const QJsonValue& vv : values.toArray()) {
            const QJsonObject vo = vv.toObject();
            const QJsonValue name = vo.value(u"name"_s);
            const QJsonValue type = vo.value(u"type"_s);
            const QJsonValue raw = vo.value(u"data"_s);
            if (!vv.isObject() || !name.isString() || !isUInt32(type) || !raw.isString()) {
                return corrupt(fileName, u"malformed value entry in "_s + key.path);
            }
            const auto decoded = QByteArray::fromBase64Encoding(
                raw.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded) {
                return corrupt(fileName, u"malformed value data in "_s + key.path);
            }
            data.setValue(key, name.toString(),
                          RegistryValue{static_cast<quint32>(type.toInteger()), *decoded});
        }
    }
    return data;
}

}  // namespace orlo
