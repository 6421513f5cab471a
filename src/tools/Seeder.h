#pragma once
// Fills a database with synthetic but plausible patients and appointments:
// names, addresses and telephones, recall periods of 3/6/12/18/24 months with
// due dates spread around "now", some appointments cancelled or missed,
// balances, diabetic answers. One transaction and prepared statements, so a
// hundred thousand patients with half a million appointments take seconds.

#include <QDateTime>
#include <QString>
#include <cstdint>

#include "platform/core/Result.h"

namespace orlo {
class Locale;
}

namespace orlo::tools {

struct SeedOptions {
    qint64 patients = 0;
    qint64 appointments = 0;
    std::uint64_t seed = 1;
    QDateTime now;  // the dates are spread around this moment
};

struct SeedCounts {
    qint64 patients = 0;
    qint64 appointments = 0;
};

// Adds rows to the existing database `path` (made by "orlo db init");
// appointments go to the new patients, or to the existing ones when no
// patients are added. Nothing is written when anything fails.
Result<SeedCounts> seedDatabase(const QString& path, const SeedOptions& options,
                                const Locale& locale);

}  // namespace orlo::tools
