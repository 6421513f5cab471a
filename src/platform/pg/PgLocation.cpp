#include "platform/pg/PgLocation.h"

#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

namespace orlo::pg {

bool isServerUri(const QString& location) {
    const QString s = location.trimmed();
    return s.startsWith(u"postgresql://"_s, Qt::CaseInsensitive) ||
           s.startsWith(u"postgres://"_s, Qt::CaseInsensitive);
}

QString redactedUri(const QString& uri) {
    QString out = uri;
    // user:password@ in the authority (before the first '/', '?' or '#'
    // after the scheme).
    static const QRegularExpression userInfo(u"^([A-Za-z]+://[^:@/?#]*):[^@/?#]*@"_s);
    out.replace(userInfo, u"\\1:***@"_s);
    static const QRegularExpression param(u"([?&]password=)[^&#]*"_s,
                                          QRegularExpression::CaseInsensitiveOption);
    out.replace(param, u"\\1***"_s);
    return out;
}

}  // namespace orlo::pg
