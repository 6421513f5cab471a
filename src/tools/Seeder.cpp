#include "tools/Seeder.h"

#include <QFileInfo>
#include <QStringList>
#include <QTimeZone>
#include <array>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/core/Locale.h"
#include "platform/sqlite/Transaction.h"
#include "records/Schema.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::tools {

namespace {

constexpr std::array kLastNames = {
    "Smith",    "Jones",  "Taylor",   "Brown",  "Williams", "Wilson",   "Johnson",  "Davies",
    "Robinson", "Wright", "Thompson", "Evans",  "Walker",   "White",    "Roberts",  "Green",
    "Hall",     "Wood",   "Jackson",  "Clarke", "O'Brien",  "O'Neill",  "McCarthy", "Patel",
    "Khan",     "Singh",  "Nguyen",   "Garcia", "Martinez", "Lopez",    "Kowalski", "Novak",
    "Murphy",   "Kelly",  "Byrne",    "Ryan",   "Van Dyke", "De Souza", "Fischer",  "Muller"};
constexpr std::array kFirstNames = {
    "Oliver",   "Amelia", "George", "Isla",   "Harry",  "Ava",   "Noah",    "Mia",
    "Jack",     "Ivy",    "Leo",    "Lily",   "Arthur", "Emily", "Oscar",   "Grace",
    "Charlie",  "Freya",  "Thomas", "Sophia", "James",  "Ella",  "William", "Evie",
    "Mohammed", "Aisha",  "Daniel", "Chloe",  "Samuel", "Ruby",  "Joseph",  "Alice"};
constexpr std::array kStreets = {"High Street", "Station Road",  "Church Lane", "Main Street",
                                 "Park Avenue", "Victoria Road", "Green Lane",  "Manor Road",
                                 "Mill Lane",   "King's Road"};
constexpr std::array kCities = {"London", "Leeds",  "Bristol", "Manchester", "York",
                                "Dublin", "Boston", "Chicago", "Denver",     "Austin"};
constexpr std::array kStates = {"Greater London",
                                "West Yorkshire",
                                "Avon",
                                "Lancashire",
                                "North Yorkshire",
                                "Leinster",
                                "MA",
                                "IL",
                                "CO",
                                "TX"};
constexpr std::array kReasons = {"Check-up",       "Follow-up",       "Eye test",
                                 "Blood pressure", "Diabetic review", "Consultation"};
constexpr std::array kRecallPeriods = {"3", "6", "12", "18", "24"};

std::string utf8(const QString& s) {
    return s.toStdString();
}

// "YYYY-MM-DD HH:MM:SS" without going through QString: the fill writes
// millions of them.
std::string canonical(const QDateTime& dt) {
    const QDate d = dt.date();
    const QTime t = dt.time();
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", d.year(), d.month(),
                  d.day(), t.hour(), t.minute(), t.second());
    return buffer;
}

QString insertSql(const QString& table, const QStringList& columns) {
    QStringList quoted;
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i) {
        quoted << QLatin1Char('"') + columns[i] + QLatin1Char('"');
        marks << u"?%1"_s.arg(i + 1);
    }
    return u"INSERT INTO \"%1\" (%2) VALUES (%3)"_s.arg(table, quoted.join(QLatin1Char(',')),
                                                        marks.join(QLatin1Char(',')));
}

Error failure(const QString& text) {
    return makeError(orlo::err::kProviderFailure, text, u"orlo db seed"_s);
}

}  // namespace

Result<SeedCounts> seedDatabase(const QString& path, const SeedOptions& options,
                                const Locale& locale) {
    if (!QFileInfo(path).isFile()) {
        return failure(u"Could not find file '%1'."_s.arg(path));
    }
    sqlite::SqlResult<sqlite::Database> opened =
        sqlite::Database::open(path, SQLITE_OPEN_READWRITE);
    if (!opened) {
        return failure(u"Cannot open '%1': %2"_s.arg(path, opened.error().message));
    }
    sqlite::Database& db = opened.value();
    db.setBusyTimeout(10000);
    auto sqlFailure = [&](const sqlite::SqliteError& e) {
        return failure(u"%1: %2"_s.arg(path, e.message));
    };
    if (sqlite::SqlStatus s = db.exec(QByteArrayView("PRAGMA foreign_keys=ON")); !s) {
        return sqlFailure(s.error());
    }

    const QStringList patientCols = records::patientColumns().mid(1);
    const QStringList scheduleCols = records::scheduleColumns().mid(1);
    sqlite::SqlResult<sqlite::Statement> patientInsert =
        db.prepare(insertSql(QString::fromUtf16(records::kPatientsTable), patientCols));
    sqlite::SqlResult<sqlite::Statement> scheduleInsert =
        db.prepare(insertSql(QString::fromUtf16(records::kScheduledTable), scheduleCols));
    sqlite::SqlResult<sqlite::Statement> existing =
        db.prepare(u"SELECT \"PT_ID\" FROM \"PATIENTS\""_s);
    for (const auto* prepared : {&patientInsert, &scheduleInsert, &existing}) {
        if (!*prepared) {
            return failure(
                u"'%1' is not an Orlo database: %2"_s.arg(path, prepared->error().message));
        }
    }
    // A big page cache for the indexes the fill keeps growing.
    if (sqlite::SqlStatus s = db.exec(QByteArrayView("PRAGMA cache_size=-262144")); !s) {
        return sqlFailure(s.error());
    }
    // Anything that fails below rolls the whole fill back.
    sqlite::SqlResult<sqlite::Transaction> fill =
        sqlite::Transaction::begin(db, sqlite::Transaction::Mode::Immediate);
    if (!fill) {
        return sqlFailure(fill.error());
    }
    auto rowFailed = [&](const sqlite::SqliteError& e) { return failure(e.message); };

    std::mt19937_64 rng(options.seed);
    auto pick = [&](const auto& list) { return list[rng() % list.size()]; };
    auto chance = [&](int percent) { return int(rng() % 100) < percent; };
    // A prefix and n random digits, built in place (no operator+ on
    // temporaries, which GCC 12 at -O3 misreads as an overlapping copy).
    auto digits = [&](int n, const char* prefix = "") {
        std::string s(prefix);
        for (int i = 0; i < n; ++i) {
            s.push_back(char('0' + rng() % 10));
        }
        return s;
    };
    const QDateTime now = options.now;
    const std::string created = canonical(now);

    std::vector<qint64> patientIds;
    struct PatientInfo {
        std::string last, first, dob, tel;
    };
    std::vector<PatientInfo> infos;
    patientIds.reserve(size_t(options.patients));
    sqlite::Statement& p = patientInsert.value();
    for (qint64 n = 0; n < options.patients; ++n) {
        PatientInfo info{pick(kLastNames), pick(kFirstNames), {}, digits(10, "0")};
        const QDate dob = now.date().addDays(-qint64(365LL * 1 + rng() % (365 * 90)));
        info.dob = utf8(locale.shortDate(dob));
        // Columns 1.. of PATIENTS in table order.
        int i = 1;
        p.bindUtf8(i++, info.last);                               // LAST NAME
        p.bindUtf8(i++, info.first);                              // FIRST NAME
        p.bindUtf8(i++, std::string(1, char('A' + rng() % 26)));  // MID_IN
        p.bindUtf8(i++, info.dob);                                // DOB
        p.bindUtf8(i++, chance(50) ? "M" : "F");                  // SEX
        p.bindUtf8(i++, chance(15) ? "YES" : "NO");               // DIABETICYN
        p.bindUtf8(i++, chance(50) ? "Married" : "Single");       // MARITAL_STATUS
        p.bindUtf8(i++, chance(10) ? "Penicillin" : "");          // ALLERGICREACTIONSTXT
        p.bindUtf8(i++, digits(6, "NI"));                         // NI_NO
        p.bindUtf8(i++, digits(8, "INS"));                        // INSUR_NO
        p.bindUtf8(i++, std::to_string(1 + rng() % 200));         // HOUSENO
        p.bindUtf8(i++, pick(kStreets));                          // STREET1
        p.bindUtf8(i++, "");                                      // STREET2
        const size_t place = rng() % kCities.size();
        p.bindUtf8(i++, kCities[place]);   // CITY
        p.bindUtf8(i++, kStates[place]);   // STATE
        p.bindUtf8(i++, digits(5));        // ZIP_CODE
        p.bindUtf8(i++, digits(10, "0"));  // WORK_TEL
        p.bindUtf8(i++, info.tel);         // HOME_TEL
        p.bindUtf8(i++, digits(9, "07"));  // MOBILE
        while (i < patientCols.size() - 2) {
            p.bindUtf8(i++, "");  // the rest of the form, left empty as most users do
        }
        p.bindUtf8(i++, created);  // CREATED
        p.bindUtf8(i++, created);  // LAST_UPDATED
        p.bindUtf8(i++, "NO");     // DELETE_FLAG
        if (sqlite::SqlStatus ran = p.run(); !ran) {
            return rowFailed(ran.error());
        }
        p.reset();
        patientIds.push_back(db.lastInsertRowid());
        infos.push_back(std::move(info));
    }
    if (patientIds.empty() && options.appointments > 0) {
        if (sqlite::SqlStatus read = existing.value().forEachRow(
                [&](const sqlite::Statement& row) { patientIds.push_back(row.columnInt(0)); });
            !read) {
            return rowFailed(read.error());
        }
        if (patientIds.empty()) {
            return failure(u"There are no patients to give appointments to."_s);
        }
    }

    // The figures follow a small clinic's book: past visits are mostly
    // completed, about 8% cancelled and 7% not attended; most visits are paid
    // on the day, so only about 3% leave a balance; nine in ten visits set a
    // recall 3 to 24 months on.
    sqlite::Statement& s = scheduleInsert.value();
    for (qint64 n = 0; n < options.appointments; ++n) {
        const size_t who = rng() % patientIds.size();
        const PatientInfo* info = who < infos.size() ? &infos[who] : nullptr;
        // Two years back to four months ahead, in quarter-hour slots 09:00-17:00.
        const qint64 day = qint64(rng() % 850) - 730;
        const QDateTime start(now.date().addDays(day),
                              QTime(9, 0).addSecs(qint64(rng() % 32) * 15 * 60), now.timeZone());
        const char* period = pick(kRecallPeriods);
        const bool future = start > now;
        const char* status = future      ? "BOOKED"
                             : chance(8) ? "CANCELLED"
                             : chance(8) ? "NO SHOW"
                                         : "COMPLETED";
        int i = 1;
        s.bindUtf8(i++, canonical(start));                   // START_TIME
        s.bindUtf8(i++, canonical(start.addSecs(30 * 60)));  // END_TIME
        s.bindUtf8(i++, info ? info->last : "");             // LAST_NAME
        s.bindUtf8(i++, info ? info->first : "");            // FIRST_NAME
        s.bindUtf8(i++, info ? info->dob : "");              // D_O_B
        s.bindUtf8(i++, info ? info->tel : "");              // TEL1
        s.bindUtf8(i++, pick(kReasons));                     // REASON
        s.bindUtf8(i++, status);                             // STATUS
        s.bindUtf8(i++, "");                                 // PSCOMMENTS
        s.bindUtf8(i++, period);                             // RECALLPERIOD
        if (chance(10)) {
            s.bindNull(i++);  // "None": no recall
        } else {
            s.bindUtf8(i++,
                       canonical(QDateTime(start.date().addMonths(std::stoi(period)), QTime(0, 0),
                                           now.timeZone())));  // RECALLDUEDATE
        }
        s.bindUtf8(i++, created);         // CREATED_ON
        s.bindUtf8(i++, created);         // UPDATED_ON
        s.bindInt(i++, patientIds[who]);  // PT_ID
        const int charges = 53 - 15 + 1;  // EXMHTFT .. RECEIPTNO
        for (int k = 0; k < charges; ++k) {
            const int column = 15 + k;
            if (column == 49) {
                s.bindUtf8(i++, std::to_string(40 + rng() % 160) + ".00");  // TOTALCOST
            } else if (column == 52) {
                // Most visits are paid on the day; a few percent leave money owed.
                s.bindUtf8(i++,
                           chance(97) ? "0" : std::to_string(5 + rng() % 120) + ".00");  // BALANCE1
            } else {
                s.bindUtf8(i++, "");
            }
        }
        s.bindUtf8(i++, "");  // NOTEPAGE1
        s.bindUtf8(i++, "");  // NOTEPAGE2
        if (sqlite::SqlStatus ran = s.run(); !ran) {
            return rowFailed(ran.error());
        }
        s.reset();
    }
    if (sqlite::SqlStatus committed = fill.value().commit(); !committed) {
        return sqlFailure(committed.error());
    }
    return SeedCounts{options.patients, options.appointments};
}

}  // namespace orlo::tools
