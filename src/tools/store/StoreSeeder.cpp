#include "tools/store/StoreSeeder.h"

#include <array>

#include "records/FieldMaps.h"
#include "tools/store/AddinStore.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::tools {

namespace {

constexpr int kCityValue = 15;
constexpr int kWorkTelValue = 18;

const std::array<QString, 8> kLastNames = {u"Smith"_s,  u"Jones"_s,     u"Taylor"_s, u"Brown"_s,
                                           u"Wilson"_s, u"MacDonald"_s, u"Evans"_s,  u"O'Neill"_s};
const std::array<QString, 6> kFirstNames = {u"Ann"_s, u"Ben"_s, u"Cara"_s,
                                            u"Dev"_s, u"Eve"_s, u"Finn"_s};
const std::array<QString, 4> kReasons = {u"Check-up"_s, u"Recall"_s, u"Fitting"_s, u"Review"_s};

template <std::size_t N>
const QString& pick(const std::array<QString, N>& list, std::int64_t n) {
    return list[static_cast<std::size_t>(n) % N];
}

Status addBatches(host::StoreFile& store, host::FolderId folder, const QString& cls,
                  std::int64_t first, std::int64_t count,
                  const std::function<host::PropertyMap(std::int64_t)>& make) {
    std::vector<host::PropertyMap> batch;
    for (std::int64_t done = 0; done < count;) {
        const std::int64_t n = std::min(StoreSeeder::kBatch, count - done);
        batch.clear();
        for (std::int64_t i = 0; i < n; ++i) {
            batch.push_back(make(first + done + i));
        }
        ORLO_TRY(store.insertMany(folder, cls, batch));
        done += n;
    }
    return okStatus();
}

}  // namespace

host::PropertyMap StoreSeeder::contact(std::int64_t id) {
    const QString key = QString::number(id);
    const QDate born = QDate(1940, 1, 1).addDays(id % 25000);
    return {
        {u"PatientID"_s, key},
        {u"Customer ID"_s, key},
        {u"Last Name"_s, pick(kLastNames, id)},
        {u"First Name"_s, pick(kFirstNames, id / 8)},
        {u"DOB"_s, born.toString(u"MM/dd/yyyy"_s)},
        // The user properties, not the names of the form's controls.
        {records::str(records::patientField(kWorkTelValue).property),
         u"555-%1"_s.arg(id % 10000, 4, 10, QLatin1Char('0'))},
        {records::str(records::patientField(kCityValue).property), u"Springfield"_s},
        {u"DiabeticYN"_s, id % 9 == 0 ? u"Y"_s : u"N"_s},
        {u"DeleteFlag"_s, u"0"_s},
    };
}

host::PropertyMap StoreSeeder::appointment(std::int64_t id, std::int64_t patients) {
    const QString key = QString::number(id);
    const std::int64_t patient = patients > 0 ? 1 + id % patients : id;
    const QDateTime start(QDate(2020, 1, 1).addDays(id % 2500), QTime(8 + id % 9, 0), Qt::UTC);
    return {
        {u"ScheduleID"_s, key},
        {u"Mileage"_s, key},
        {u"Start"_s, start},
        {u"End"_s, start.addSecs(1800)},
        {u"LNAME"_s, pick(kLastNames, patient)},
        {u"FNAME"_s, pick(kFirstNames, patient / 8)},
        {u"REASON"_s, pick(kReasons, id)},
        {u"Status1"_s, u"Booked"_s},
        {u"sPTID"_s, QString::number(patient)},
        {u"RecallMonths"_s, QString::number(6 * (1 + id % 4))},
    };
}

Status StoreSeeder::seed(host::StoreFile& store, SeedCounts counts) {
    ORLO_TRY_ASSIGN(AddinFolders folders, addinFolders(store));
    ORLO_TRY_ASSIGN(const std::int64_t patientsBefore, store.itemCount(folders.patients));
    ORLO_TRY_ASSIGN(const std::int64_t schedulesBefore, store.itemCount(folders.scheduler));
    const std::int64_t firstPatient = patientsBefore + 1;
    const std::int64_t firstSchedule = schedulesBefore + 1;
    if (Status s =
            addBatches(store, folders.patients, QString::fromUtf16(records::kPatientMessageClass),
                       firstPatient, counts.contacts, &StoreSeeder::contact);
        !s) {
        return s;
    }
    const std::int64_t patients = firstPatient - 1 + counts.contacts;
    return addBatches(store, folders.scheduler,
                      QString::fromUtf16(records::kAppointmentMessageClass), firstSchedule,
                      counts.appointments,
                      [patients](std::int64_t id) { return appointment(id, patients); });
}

}  // namespace orlo::tools
