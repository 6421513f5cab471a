#include "common/basRegistry.h"

#include <QtEndian>

namespace orlo {

namespace {

Error badParameter(const QString& why) {
    return makeError(err::kRegistryBadParameter, why, QStringLiteral("basRegistry"));
}

}  // namespace

basRegistry::basRegistry(RegistryStore& store, Locale locale)
    : m_store(store), m_locale(std::move(locale)) {}

Variant basRegistry::RegReadValue(RegistryRoot root, QStringView keyPath,
                                  QStringView valueName) const {
    const Result<RegistryKey> key = m_store.openKey(root, keyPath);
    if (!key.ok()) {
        return Variant();
    }
    Variant value;
    if (!RegQueryTypedValue(*key, valueName, value).ok()) {
        return Variant();
    }
    if (const QString* text = value.asText(); text != nullptr && text->endsWith(QChar(0))) {
        return Variant(text->chopped(1));
    }
    return value;
}

Status basRegistry::RegQueryTypedValue(const RegistryKey& key, QStringView valueName,
                                       Variant& value) const {
    value = Variant();
    ORLO_TRY_ASSIGN(const std::optional<RegistryValue> stored,
                    m_store.queryValue(key, valueName.toString()));
    if (!stored.has_value()) {
        return makeError(err::kRegistryFileNotFound,
                         QStringLiteral("No such value: ") + valueName.toString(),
                         QStringLiteral("basRegistry"));
    }
    const RegistryValue& v = *stored;
    switch (v.type) {
        case kRegSz:
            value = Variant(QString::fromUtf8(v.data));
            return okStatus();
        case kRegDword:
            if (v.data.size() != 4) {
                return badParameter(QStringLiteral("A DWORD value of ") +
                                    QString::number(v.data.size()) + QStringLiteral(" bytes"));
            }
            value = Variant(static_cast<int>(qFromLittleEndian<qint32>(v.data.constData())));
            return okStatus();
        default:
            return badParameter(QStringLiteral("Unsupported value type ") +
                                QString::number(v.type));
    }
}

Status basRegistry::RegSetTypedValue(const RegistryKey& key, QStringView valueName,
                                     quint32 valueType, const Variant& value) {
    RegistryValue stored{valueType, {}};
    switch (valueType) {
        case kRegSz: {
            ORLO_TRY_ASSIGN(const QString text, value.toText(m_locale));
            stored.data = text.toUtf8();
            break;
        }
        case kRegDword: {
            ORLO_TRY_ASSIGN(const std::int32_t n, value.toInt32(m_locale));
            stored.data.resize(4);
            qToLittleEndian<qint32>(n, stored.data.data());
            break;
        }
        default:
            return badParameter(QStringLiteral("Unsupported value type ") +
                                QString::number(valueType));
    }
    return m_store.setValue(key, valueName.toString(), stored);
}

Status basRegistry::writeKeyValue(RegistryRoot root, QStringView keyPath, QStringView valueName,
                                  const Variant& value, quint32 valueType) {
    if (keyPath.startsWith(QLatin1Char('\\'))) {
        keyPath = keyPath.mid(1);
    }
    if (keyPath.isEmpty()) {
        return makeError(err::kRegistryBadPath, QStringLiteral("Empty key path"),
                         QStringLiteral("basRegistry"));
    }
    ORLO_TRY_ASSIGN(const RegistryKey key, m_store.createKey(root, keyPath));
    return RegSetTypedValue(key, valueName, valueType, value);
}

bool basRegistry::RegWriteKeyValue(RegistryRoot root, QStringView keyPath, QStringView valueName,
                                   const Variant& value, quint32 valueType) {
    return writeKeyValue(root, keyPath, valueName, value, valueType).ok();
}

}  // namespace orlo
