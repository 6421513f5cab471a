#pragma once
// FindKey: the normalised form of a property value that findFirst compares
// and the store indexes. A filter such as "[PatientID] = 12" must find the
// item whatever way the 12 was stored, so:
//   - numbers, and texts that read as a plain decimal number ("12", " 012 ",
//     "+12", "12.50"), become the number's canonical decimal text ("12",
//     "12.5"): numbers compare by value, exactly, with no overflow for long
//     digit strings;
//   - other texts are case-folded: they compare case-insensitively;
//   - Booleans become "true"/"false", dates their ISO 8601 text;
//   - Empty, Null, blank texts and non-finite doubles have no key and are
//     never found.
// Keys longer than kMaxLength are cut there and marked truncated (an ellipsis
// appended, so a cut key is longer than any whole one), so that a long note
// does not bloat the index; a match on a cut key is confirmed against the
// whole value.

#include <QString>
#include <optional>

#include "platform/core/Variant.h"

namespace orlo::host {

struct FindKey {
    static constexpr qsizetype kMaxLength = 64;

    QString text;            // what the index holds
    bool truncated = false;  // text is the key's first kMaxLength characters and "…"

    static std::optional<FindKey> of(const Variant& value);
    // The whole normalised value (not cut), for confirming a cut match.
    static std::optional<QString> fullText(const Variant& value);
};

}  // namespace orlo::host
