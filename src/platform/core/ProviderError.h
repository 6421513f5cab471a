#pragma once
// One entry of a database connection's error collection: what the error log
// records for every error of a routine's connection.

#include <QString>
#include <vector>

namespace orlo {

struct ProviderError {
    long number = 0;
    QString description;
    QString source;
    QString sqlState;
    long nativeError = 0;
    // The statement that failed, for a developer's trace. It carries the
    // patients' values, so it never goes into the error log.
    QString sql;

    bool operator==(const ProviderError&) const = default;
};

using ProviderErrors = std::vector<ProviderError>;

}  // namespace orlo
