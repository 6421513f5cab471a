#include "app/DeskLayout.h"

#include <QRegularExpression>

#include "platform/registry/RegistryStore.h"

namespace orlo::desk {

namespace {

constexpr char16_t kAddinKey[] =
    u"Software\\Microsoft\\Office\\Outlook\\Addins\\OrlonetPROv1.Connect";
constexpr char16_t kDatabaseValue[] = u"defaultDBlocation";

std::optional<QByteArray> textValue(const RegistryStore& settings, QStringView key,
                                    const QString& name) {
    const Result<RegistryKey> k = settings.openKey(RegistryRoot::CurrentUser, key);
    if (!k) {
        return std::nullopt;
    }
    const Result<std::optional<RegistryValue>> v = settings.queryValue(*k, name);
    if (!v || !v->has_value() || (*v)->type != kRegSz) {
        return std::nullopt;
    }
    QByteArray data = (*v)->data;
    if (data.endsWith('\0')) {
        data.chop(1);
    }
    return data;
}

}  // namespace

QByteArray DeskLayout::value(const QString& name) const {
    const std::optional<QByteArray> text = textValue(m_settings, QStringView(kLayoutKey), name);
    return text ? QByteArray::fromBase64(*text) : QByteArray();
}

Status DeskLayout::setValue(const QString& name, const QByteArray& value) {
    ORLO_TRY_ASSIGN(const RegistryKey key,
                    m_settings.createKey(RegistryRoot::CurrentUser, QStringView(kLayoutKey)));
    return m_settings.setValue(key, name, RegistryValue{kRegSz, value.toBase64()});
}

QString DeskLayout::databaseInUse() const {
    const std::optional<QByteArray> text =
        textValue(m_settings, QStringView(kAddinKey), QString::fromUtf16(kDatabaseValue));
    if (!text) {
        return {};
    }
    static const QRegularExpression kPassword(QStringLiteral("^(\\w+://[^:/@]*:)[^/]*@"));
    return QString::fromUtf8(*text).replace(kPassword, QStringLiteral("\\1***@"));
}

Status DeskLayout::useDatabaseForThisStart(const QString& location) {
    return m_settings.setProcessValue(RegistryRoot::CurrentUser, QStringView(kAddinKey),
                                      QString::fromUtf16(kDatabaseValue),
                                      RegistryValue{kRegSz, location.toUtf8()});
}

}  // namespace orlo::desk
