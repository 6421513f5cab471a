#pragma once
// The names under which registerJetFunctions() puts the dialect's functions
// on a connection; the translator writes calls to them.

namespace orlo::data {

inline constexpr char kFnNow[] = "jet_now";
inline constexpr char kFnDateDiff[] = "jet_datediff";
inline constexpr char kFnYear[] = "jet_year";
inline constexpr char kFnMonth[] = "jet_month";
inline constexpr char kFnDay[] = "jet_day";
inline constexpr char kFnDateSerial[] = "jet_dateserial";
// Text into canonical date; fails with kTypeMismatchMessage on a non-date.
inline constexpr char kFnCDate[] = "jet_cdate";
// A stored date as the locale's general date text (for LIKE on dates).
inline constexpr char kFnDateText[] = "jet_datetext";
// jet_daystart(now, offset): "YYYY-MM-DD" of the day `offset` days from the
// date of `now`, the lowest text of that day in canonical form; "" below and
// ":" above the years 1..9999 (lower and higher than every stored date).
inline constexpr char kFnDayStart[] = "jet_daystart";

}  // namespace orlo::data
