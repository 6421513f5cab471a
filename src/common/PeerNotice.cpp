#include "common/PeerNotice.h"

#include "common/AddinContext.h"

namespace orlo {

namespace {

constexpr QChar kComma = u',';
constexpr QChar kQuote = u'"';

bool needsQuotes(const QString& value) {
    for (const QChar c : value) {
        if (c == kComma || c == kQuote || c == u'\r' || c == u'\n') {
            return true;
        }
    }
    return false;
}

void appendValue(QString& line, const QString& value) {
    if (!needsQuotes(value)) {
        line += value;
        return;
    }
    line += kQuote;
    for (const QChar c : value) {
        if (c == kQuote) {
            line += kQuote;
        }
        line += c;
    }
    line += kQuote;
}

}  // namespace

QString peerNoticeLine(QStringView kind, int action, const QStringList& values) {
    QString line = kind.toString() + kComma + QString::number(action);
    for (const QString& value : values) {
        line += kComma;
        appendValue(line, value);
    }
    return line;
}

std::optional<QStringList> splitPeerNotice(QStringView line) {
    QStringList fields;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (true) {
        if (i < n && line[i] == kQuote) {
            QString value;
            ++i;
            while (true) {
                if (i >= n) {
                    return std::nullopt;  // never closed
                }
                if (line[i] == kQuote) {
                    if (i + 1 < n && line[i + 1] == kQuote) {
                        value += kQuote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += line[i++];
            }
            if (i < n && line[i] != kComma) {
                return std::nullopt;  // text after the closing quote
            }
            fields << value;
        } else {
            qsizetype end = line.indexOf(kComma, i);
            if (end < 0) {
                end = n;
            }
            fields << line.mid(i, end - i).toString();
            i = end;
        }
        if (i >= n) {
            return fields;
        }
        ++i;  // the comma
    }
}

void sendPeerNotice(AddinContext& ctx, const QString& line) {
    if (ctx.peers != nullptr) {
        ctx.peers->SendDataToAll(line);
    }
}

}  // namespace orlo
