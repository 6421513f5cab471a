#include "common/SqlQuote.h"

namespace orlo {

QString SqlQuote(const QString& text) {
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted.append(QLatin1Char('\''));
    for (const QChar c : text) {
        quoted.append(c);
        if (c == QLatin1Char('\'')) {
            quoted.append(QLatin1Char('\''));
        }
    }
    quoted.append(QLatin1Char('\''));
    return quoted;
}

}  // namespace orlo
