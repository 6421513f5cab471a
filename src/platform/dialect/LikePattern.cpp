#include "platform/dialect/LikePattern.h"

namespace orlo::data {

namespace {

void appendLiteral(QString& out, QChar c) {
    if (c == u'%' || c == u'_' || c == QChar(kLikeEscape)) {
        out += QChar(kLikeEscape);
    }
    out += c;
}

QList<uint> foldedCodePoints(QStringView s) {
    return s.toString().toCaseFolded().toUcs4();
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
    const QList<uint> p = foldedCodePoints(pattern);
    m_items.reserve(p.size());
    for (qsizetype i = 0; i < p.size(); ++i) {
        const char32_t c = p.at(i);
        if (escape != 0 && c == escape && i + 1 < p.size()) {
            m_items.append({Kind::Literal, p.at(++i)});
        } else if (c == U'%') {
            m_items.append({Kind::AnyRun, 0});
        } else if (c == U'_') {
            m_items.append({Kind::AnyOne, 0});
        } else {
            m_items.append({Kind::Literal, c});
        }
    }
}

bool LikeMatcher::matches(QStringView text) const {
    const QList<uint> t = foldedCodePoints(text);
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
        } else if (pi < n &&
                   (m_items.at(pi).kind == Kind::AnyOne ||
                    (m_items.at(pi).kind == Kind::Literal && m_items.at(pi).ch == t.at(ti)))) {
            ++pi;
            ++ti;
        } else if (runItem >= 0) {
            pi = runItem + 1;
            ti = ++runText;
        } else {
            return false;
        }
    }
    while (pi < n && m_items.at(pi).kind == Kind::AnyRun) {
        ++pi;
    }
    return pi == n;
}

bool likeMatches(QStringView pattern, QStringView text, char32_t escape) {
    return LikeMatcher(pattern, escape).matches(text);
}

}  // namespace orlo::data
