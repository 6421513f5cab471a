#pragma once
// StoreSeeder: fills an add-in store with synthetic patients and
// appointments, in large transactions, for benchmarks and trials. Ids follow
// on from the items already there; every contact carries "PatientID" and
// "Customer ID", every appointment "ScheduleID" and "Mileage", as the
// add-in's forms keep them.

#include <cstdint>

#include "host/store/StoreFile.h"

namespace orlo::tools {

struct SeedCounts {
    std::int64_t contacts = 0;
    std::int64_t appointments = 0;
};

class StoreSeeder {
public:
    static constexpr std::int64_t kBatch = 5000;

    // The contact of patient `id`, the appointment of schedule `id`.
    static host::PropertyMap contact(std::int64_t id);
    static host::PropertyMap appointment(std::int64_t id, std::int64_t patients);

    static Status seed(host::StoreFile& store, SeedCounts counts);
};

}  // namespace orlo::tools
