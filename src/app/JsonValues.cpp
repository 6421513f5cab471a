#include "app/JsonValues.h"

#include <array>
#include <cmath>

#include "host/HostErrors.h"
#include "tools/store/ItemJson.h"

namespace orlo::desk {

namespace {

Error badValue(const QString& why) {
    return host::err::hostError(host::err::kTypeMismatch, why);
}

constexpr std::array<const char16_t*, 7> kAnswers = {u"OK",     u"Cancel", u"Abort", u"Retry",
                                                     u"Ignore", u"Yes",    u"No"};

QString iconName(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Critical:
            return QStringLiteral("critical");
        case MsgIcon::Question:
            return QStringLiteral("question");
        case MsgIcon::Exclamation:
            return QStringLiteral("exclamation");
        case MsgIcon::Information:
            return QStringLiteral("information");
        case MsgIcon::None:
            break;
    }
    return QStringLiteral("none");
}

QString buttonsName(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::OK:
            return QStringLiteral("OK");
        case MsgButtons::OKCancel:
            return QStringLiteral("OKCancel");
        case MsgButtons::AbortRetryIgnore:
            return QStringLiteral("AbortRetryIgnore");
        case MsgButtons::YesNoCancel:
            return QStringLiteral("YesNoCancel");
        case MsgButtons::YesNo:
            return QStringLiteral("YesNo");
        case MsgButtons::RetryCancel:
            return QStringLiteral("RetryCancel");
    }
    return QStringLiteral("OK");
}

}  // namespace

Result<Variant> jsonToVariant(const QJsonValue& value) {
    switch (value.type()) {
        case QJsonValue::Null:
            return Variant::null();
        case QJsonValue::Bool:
            return Variant(value.toBool());
        case QJsonValue::String:
            return Variant(value.toString());
        case QJsonValue::Double: {
            const double d = value.toDouble();
            if (std::trunc(d) == d && std::abs(d) < 9.0e15) {
                return Variant(static_cast<qint64>(d));
            }
            return Variant(d);
        }
        case QJsonValue::Object: {
            const QJsonObject o = value.toObject();
            if (o.contains(QStringLiteral("date"))) {
                QDateTime at = QDateTime::fromString(o.value(QStringLiteral("date")).toString(),
                                                     Qt::ISODateWithMs);
                if (!at.isValid()) {
                    return badValue(QStringLiteral("\"date\" needs an ISO 8601 date and time."));
                }
                at.setTimeSpec(Qt::UTC);  // dates are naive wall-clock times
                return Variant(at);
            }
            if (o.value(QStringLiteral("empty")).toBool()) {
                return Variant();
            }
            break;
        }
        default:
            break;
    }
    return badValue(QStringLiteral("A value is a text, number, Boolean, null or {\"date\":...}."));
}

QJsonValue variantToJson(const Variant& value) {
    return tools::variantToJson(value);
}

Result<MsgAnswer> answerFromJson(const QJsonValue& value) {
    if (value.isDouble()) {
        const int n = value.toInt();
        if (n >= 1 && n <= static_cast<int>(kAnswers.size())) {
            return static_cast<MsgAnswer>(n);
        }
    } else if (value.isString()) {
        for (std::size_t i = 0; i < kAnswers.size(); ++i) {
            if (value.toString().compare(QString::fromUtf16(kAnswers[i]), Qt::CaseInsensitive) ==
                0) {
                return static_cast<MsgAnswer>(i + 1);
            }
        }
    }
    return badValue(QStringLiteral("An answer is OK, Cancel, Abort, Retry, Ignore, Yes or No."));
}

QJsonObject messageBoxToJson(const MessageBoxRequest& box) {
    return QJsonObject{{QStringLiteral("title"), box.title},
                       {QStringLiteral("text"), box.text},
                       {QStringLiteral("icon"), iconName(box.icon)},
                       {QStringLiteral("buttons"), buttonsName(box.buttons)}};
}

}  // namespace orlo::desk
