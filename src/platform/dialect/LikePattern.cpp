#include "platform/dialect/LikePattern.h"

namespace orlo::data {

namespace {

void appendLiteral(QString& out, QChar c) {
    if (c == u'%' || c == u'_' || c == QChar(kLikeEscape)) {
        out += QChar(kLikeEscape);
    }
    out += c;
}

}  // namespace

QString sqlitePatternFromJet(QStringView jetPattern) {
    QString out;
    out.reserve(jetPattern.size() + 4);
    const qsizetype n = jetPattern.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = jetPattern.at(i);
        if (c == u'[' && i + 2 < n && jetPattern.at(i + 2) == u']') {
            appendLiteral(out, jetPattern.at(i + 1));
            i += 2;
        } else if (c == u'*' || c == u'%') {
            out += u'%';
        } else if (c == u'?' || c == u'_') {
            out += u'_';
        } else {
            appendLiteral(out, c);
        }
    }
    return out;
}

bool patternNeedsEscape(QStringView sqlitePattern) {
    return sqlitePattern.contains(QChar(kLikeEscape));
}

LikeMatcher::LikeMatcher(QStringView pattern, char32_t escape) {
    const QString p = pattern.toString().toCaseFolded();
    const QList<uint> escapeUnits = QString::fromUcs4(&escape, 1).toCaseFolded().toUcs4();
    const char32_t foldedEscape = escape == 0 ? 0 : escapeUnits.value(0);
    m_items.reserve(p.size());
    for (qsizetype i = 0; i < p.size(); ++i) {
        const char16_t c = p.at(i).unicode();
        if (foldedEscape != 0 && c == foldedEscape && i + 1 < p.size()) {
            m_items.append({Kind::Literal, p.at(++i).unicode()});
        } else if (c == u'%') {
            m_items.append({Kind::AnyRun, 0});
        } else if (c == u'_') {
            m_items.append({Kind::AnyOne, 0});
        } else {
            m_items.append({Kind::Literal, c});
        }
    }
}

namespace {

// Case-folded UTF-16 text, one unit at a time.
struct FoldedUtf16 {
    QString folded;
    qsizetype size() const { return folded.size(); }
    char16_t at(qsizetype i) const { return folded.at(i).unicode(); }
    qsizetype unitsOfCharAt(qsizetype i) const {
        return (folded.at(i).isHighSurrogate() && i + 1 < folded.size() &&
                folded.at(i + 1).isLowSurrogate())
                   ? 2
                   : 1;
    }
};

// ASCII text, folded as it is read.
struct FoldedAscii {
    const char* text;
    qsizetype length;
    qsizetype size() const { return length; }
    char16_t at(qsizetype i) const {
        const char c = text[i];
        return static_cast<char16_t>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
    }
    qsizetype unitsOfCharAt(qsizetype) const { return 1; }
};

}  // namespace

template <typename Text>
bool LikeMatcher::matchItems(const Text& t) const {
    // Greedy matching that backtracks only to the last run wildcard: linear
    // for the usual patterns, never exponential.
    qsizetype pi = 0;
    qsizetype ti = 0;
    qsizetype runItem = -1;
    qsizetype runText = 0;
    const qsizetype n = m_items.size();
    while (ti < t.size()) {
        if (pi < n && m_items.at(pi).kind == Kind::AnyRun) {
            runItem = pi++;
            runText = ti;
        } else if (pi < n && m_items.at(pi).kind == Kind::AnyOne) {
            ++pi;
            ti += t.unitsOfCharAt(ti);
        } else if (pi < n && m_items.at(pi).ch == t.at(ti)) {
            ++pi;
            ++ti;
        } else if (runItem >= 0) {
            pi = runItem + 1;
            runText += t.unitsOfCharAt(runText);
            ti = runText;
        } else {
            return false;
        }
    }
    while (pi < n && m_items.at(pi).kind == Kind::AnyRun) {
        ++pi;
    }
    return pi == n;
}

bool LikeMatcher::matches(QStringView text) const {
    return matchItems(FoldedUtf16{text.toString().toCaseFolded()});
}

bool LikeMatcher::matchesUtf8(const char* text, qsizetype length) const {
    for (qsizetype i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80) {
            return matches(QString::fromUtf8(text, length));
        }
    }
    return matchItems(FoldedAscii{text, length});
}

bool likeMatches(QStringView pattern, QStringView text, char32_t escape) {
    return LikeMatcher(pattern, escape).matches(text);
}

}  // namespace orlo::data
