#pragma once
// LIKE patterns of the dialect and their matching. The dialect's wildcards
// are * (any run of characters) and ? (one character); % and _ are accepted
// as well. A wildcard written inside brackets ([*], [?], [%], [_], [[])
// stands for itself. Matching ignores letter case for every script, not just
// for ASCII as SQLite's own LIKE does.

#include <QList>
#include <QString>
#include <QStringView>

namespace orlo::data {

// The escape character of the SQLite patterns made here.
inline constexpr char16_t kLikeEscape = u'\\';

// A SQLite LIKE pattern (with kLikeEscape as ESCAPE character) that matches
// what the dialect's pattern matches.
QString sqlitePatternFromJet(QStringView jetPattern);

// Whether the pattern contains an escaped character (then the LIKE needs an
// ESCAPE clause).
bool patternNeedsEscape(QStringView sqlitePattern);

// A SQLite LIKE pattern (% and _, an optional escape character; escape 0 for
// none) compiled once and matched without letter case against many texts.
class LikeMatcher {
public:
    LikeMatcher(QStringView pattern, char32_t escape);
    bool matches(QStringView text) const;
    // The same for UTF-8 text; ASCII text is matched without converting it.
    bool matchesUtf8(const char* text, qsizetype length) const;

private:
    enum class Kind { Literal, AnyOne, AnyRun };
    struct Item {
        Kind kind;
        char16_t ch;  // a UTF-16 unit of the case-folded literal
    };
    template <typename Text>
    bool matchItems(const Text& text) const;

    QList<Item> m_items;
};

bool likeMatches(QStringView pattern, QStringView text, char32_t escape);

}  // namespace orlo::data
