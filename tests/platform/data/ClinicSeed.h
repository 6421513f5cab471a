#pragma once
// The clinic the system's SQL texts and the reports run on: twenty
// patients, and appointments around 15 June 2026 10:00 that sit on the
// edges of every report's window.

#include <string>
#include <vector>

#include "TestDatabases.h"

namespace orlo::test {

// The date `offset` days from 15 June 2026 at `time`, canonical.
inline std::string dayText(int offset, const char* time = "00:00:00") {
    const QString text = QDate(2026, 6, 15).addDays(offset).toString(Qt::ISODate) +
                         QLatin1Char(' ') + QString::fromLatin1(time);
    return text.toStdString();
}

// The appointments, around 15 June 2026 10:00.
struct ClinicSeed {
    std::vector<std::string> texts;  // keeps the date texts alive
    std::vector<SeedAppointment> appointments;

    const char* keep(std::string s) {
        texts.push_back(std::move(s));
        return texts.back().c_str();
    }
    void add(int id, int pt, std::string start, const char* recall,
             const char* status = "COMPLETED", const char* balance = "0") {
        appointments.push_back({id, pt, keep(std::move(start)), recall, status, balance});
    }
    ClinicSeed() {
        texts.reserve(200);
        const std::string past = "2025-12-01 09:00:00";
        // Overdue ladder: due N days before now, no appointment to come.
        add(101, 1, past, keep(dayText(-42)), "COMPLETED", "25.00");
        add(102, 2, past, keep(dayText(-84)), "COMPLETED", "0.50");
        add(103, 3, past, keep(dayText(-41)), "COMPLETED", "");
        add(104, 4, past, keep(dayText(-83)));
        add(105, 5, past, keep(dayText(-50)));
        add(106, 5, dayText(30, "09:00:00"), nullptr, "BOOKED");  // keeps patient 5 off
        add(107, 6, past, keep(dayText(-167)));
        add(108, 7, past, keep(dayText(-168)));
        add(109, 8, past, keep(dayText(-364)));
        add(110, 9, past, keep(dayText(-365)));
        add(111, 10, past, keep(dayText(-729)));
        add(112, 11, past, keep(dayText(-730)));
        // Two weeks ahead.
        add(113, 12, past, keep(dayText(14)));
        add(114, 13, past, keep(dayText(15)));
        add(115, 14, past, keep(dayText(1)));
        add(116, 14, dayText(0, "15:00:00"), nullptr, "BOOKED");  // later today: still listed
        add(117, 15, past, keep(dayText(5)));
        add(118, 15, dayText(1, "09:00:00"), nullptr, "BOOKED");  // tomorrow: not listed
        // Around the turn of the year.
        add(120, 17, past, "2027-01-02 00:00:00");
        add(121, 18, past, "2026-12-30 00:00:00");
        // No-shows and cancellations.
        add(130, 19, dayText(-365, "09:00:00"), keep(dayText(250)), "NO SHOW");
        add(131, 19, dayText(-366, "09:00:00"), nullptr, "NO SHOW");
        add(132, 20, dayText(-1, "09:00:00"), keep(dayText(100)), "CANCELLED");
        add(133, 20, dayText(-2, "09:00:00"), nullptr, "COMPLETED");
        add(134, 20, dayText(3, "09:00:00"), nullptr, "CANCELLED");
        add(135, 19, dayText(0, "08:00:00"), nullptr, "CANCELLED");
        // Tomorrow's list.
        add(140, 16, dayText(1, "00:00:00"), nullptr, "BOOKED");
        add(141, 16, dayText(1, "23:59:00"), nullptr, "BOOKED");
        add(142, 16, dayText(0, "23:59:00"), nullptr, "BOOKED");
        add(143, 16, dayText(2, "00:00:00"), nullptr, "BOOKED");
        // Month windows (patient 16 has appointments to come, so no reminders).
        add(150, 16, past, "2026-02-28 00:00:00");
        add(151, 16, past, "2026-03-01 00:00:00");
        add(152, 16, past, "2026-01-31 00:00:00");
        add(153, 16, past, "2026-02-01 00:00:00");
        add(154, 16, past, "2026-12-31 00:00:00");
        add(155, 16, past, "2027-01-01 00:00:00");
        add(156, 16, past, "2028-02-29 00:00:00");
        add(157, 16, past, "2028-03-01 00:00:00");
    }
};

inline const std::vector<SeedPatient> kClinicPatients = {
    {1, "Adams", "A", "YES"}, {2, "Baker", "B"},  {3, "Clarke", "C", "yes"}, {4, "de Vries", "D"},
    {5, "Evans", "E"},        {6, "Fisher", "F"}, {7, "Green", "G"},         {8, "Hughes", "H"},
    {9, "Irwin", "I"},        {10, "Jones", "J"}, {11, "King", "K"},         {12, "Lewis", "L"},
    {13, "Moore", "M"},       {14, "Novak", "N"}, {15, "O'Brien", "O"},      {16, "Price", "P"},
    {17, "Quinn", "Q"},       {18, "Reed", "R"},  {19, "Shaw", "S"},         {20, "Turner", "T"}};

}  // namespace orlo::test
