#include "common/StorableText.h"

#include "common/AddinContext.h"
#include "host/Item.h"
#include "platform/core/ErrorTrap.h"

namespace orlo {

QString storableText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
        } else if (c.isSurrogate()) {
            out += QChar(QChar::ReplacementCharacter);
        } else if (c.category() == QChar::Other_Control && c != u'\t' && c != u'\r' && c != u'\n') {
            continue;
        } else {
            out += c;
        }
    }
    return out;
}

void makeValuesStorable(AddinContext& ctx, host::Item& item, QStringList& values, int first,
                        int last, int offset, const std::function<QString(int)>& propertyOf) {
    QStringList changed;
    for (int p = first; p <= last; ++p) {
        QString& value = values[p - offset];
        QString clean = storableText(value);
        if (clean != value) {
            value = std::move(clean);
            changed << propertyOf(p);
            ignoreError(item.setUserProperty(propertyOf(p), Variant(value)),
                        "the database and the peers get the storable text either way");
        }
    }
    if (!changed.isEmpty()) {
        ignoreError(
            ctx.log().WriteErrorLog(
                QStringLiteral("Characters that cannot be stored were removed from %1 of a %2 "
                               "item before its save.")
                    .arg(changed.join(QStringLiteral(", ")), item.MessageClass())),
            "the values are stored cleaned either way; the log is a courtesy");
    }
}

}  // namespace orlo
