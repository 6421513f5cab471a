#include "app/MessageBoxJson.h"

#include <array>

#include "host/HostErrors.h"

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
