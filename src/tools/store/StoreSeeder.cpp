#include "tools/store/StoreSeeder.h"

#include <array>

#include "tools/store/AddinStore.h"

namespace orlo::tools {

namespace {

const std::array<QString, 8> kLastNames = {QStringLiteral("Smith"),  QStringLiteral("Jones"),
                                           QStringLiteral("Taylor"), QStringLiteral("Brown"),
                                           QStringLiteral("Wilson"), QStringLiteral("MacDonald"),
                                           QStringLiteral("Evans"),  QStringLiteral("O'Neill")};
const std::array<QString, 6> kFirstNames = {QStringLiteral("Ann"),  QStringLiteral("Ben"),
                                            QStringLiteral("Cara"), QStringLiteral("Dev"),
                                            QStringLiteral("Eve"),  QStringLiteral("Finn")};
const std::array<QString, 4> kReasons = {QStringLiteral("Check-up"), QStringLiteral("Recall"),
                                         QStringLiteral("Fitting"), QStringLiteral("Review")};

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
        {QStringLiteral("PatientID"), key},
        {QStringLiteral("Customer ID"), key},
        {QStringLiteral("Last Name"), pick(kLastNames, id)},
        {QStringLiteral("First Name"), pick(kFirstNames, id / 8)},
        {QStringLiteral("DOB"), born.toString(QStringLiteral("MM/dd/yyyy"))},
        {QStringLiteral("Phone1"),
         QStringLiteral("555-%1").arg(id % 10000, 4, 10, QLatin1Char('0'))},
        {QStringLiteral("CityBox"), QStringLiteral("Springfield")},
        {QStringLiteral("DiabeticYN"), id % 9 == 0 ? QStringLiteral("Y") : QStringLiteral("N")},
        {QStringLiteral("DeleteFlag"), QStringLiteral("0")},
    };
}

host::PropertyMap StoreSeeder::appointment(std::int64_t id, std::int64_t patients) {
    const QString key = QString::number(id);
    const std::int64_t patient = patients > 0 ? 1 + id % patients : id;
    const QDateTime start(QDate(2020, 1, 1).addDays(id % 2500), QTime(8 + id % 9, 0), Qt::UTC);
    return {
        {QStringLiteral("ScheduleID"), key},
        {QStringLiteral("Mileage"), key},
        {QStringLiteral("Start"), start},
        {QStringLiteral("End"), start.addSecs(1800)},
        {QStringLiteral("LNAME"), pick(kLastNames, patient)},
        {QStringLiteral("FNAME"), pick(kFirstNames, patient / 8)},
        {QStringLiteral("REASON"), pick(kReasons, id)},
        {QStringLiteral("Status1"), QStringLiteral("Booked")},
        {QStringLiteral("sPTID"), QString::number(patient)},
        {QStringLiteral("RecallMonths"), QString::number(6 * (1 + id % 4))},
    };
}

Status StoreSeeder::seed(host::StoreFile& store, SeedCounts counts) {
    ORLO_TRY_ASSIGN(AddinFolders folders, addinFolders(store));
    ORLO_TRY_ASSIGN(const std::int64_t patientsBefore, store.itemCount(folders.patients));
    ORLO_TRY_ASSIGN(const std::int64_t schedulesBefore, store.itemCount(folders.scheduler));
    const std::int64_t firstPatient = patientsBefore + 1;
    const std::int64_t firstSchedule = schedulesBefore + 1;
    if (Status s = addBatches(store, folders.patients, QString::fromUtf16(kPatientClass),
                              firstPatient, counts.contacts, &StoreSeeder::contact);
        !s) {
        return s;
    }
    const std::int64_t patients = firstPatient - 1 + counts.contacts;
    return addBatches(store, folders.scheduler, QString::fromUtf16(kSchedulerClass), firstSchedule,
                      counts.appointments,
                      [patients](std::int64_t id) { return appointment(id, patients); });
}

}  // namespace orlo::tools
