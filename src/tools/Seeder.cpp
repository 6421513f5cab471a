#include "tools/Seeder.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <QStringList>
#include <QTimeZone>
#include <array>
#include <cstdio>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "platform/core/Locale.h"
#include "records/Schema.h"

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

// Binds text for one step; the bytes live until the row is stepped.
class Binder {
public:
    explicit Binder(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    void text(int index, std::string value) {
        m_hold.push_back(std::move(value));
        sqlite3_bind_text(m_stmt, index, m_hold.back().data(), int(m_hold.back().size()),
                          SQLITE_STATIC);
    }
    void null(int index) { sqlite3_bind_null(m_stmt, index); }
    void integer(int index, qint64 v) { sqlite3_bind_int64(m_stmt, index, v); }
    int step() {
        const int rc = sqlite3_step(m_stmt);
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        m_hold.clear();
        return rc;
    }

private:
    sqlite3_stmt* m_stmt;
    std::deque<std::string> m_hold;  // stable addresses while bound
};

struct Db {
    sqlite3* handle = nullptr;
    ~Db() { sqlite3_close_v2(handle); }
};

struct Stmt {
    sqlite3_stmt* handle = nullptr;
    ~Stmt() { sqlite3_finalize(handle); }
};

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
        marks << QStringLiteral("?%1").arg(i + 1);
    }
    return QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
        .arg(table, quoted.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
}

Error failure(const QString& text) {
    return makeError(orlo::err::kProviderFailure, text, QStringLiteral("orlo db seed"));
}

}  // namespace

Result<SeedCounts> seedDatabase(const QString& path, const SeedOptions& options,
                                const Locale& locale) {
    if (!QFileInfo(path).isFile()) {
        return failure(QStringLiteral("Could not find file '%1'.").arg(path));
    }
    Db db;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db.handle, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        return failure(QStringLiteral("Cannot open '%1': %2")
                           .arg(path, QString::fromUtf8(sqlite3_errmsg(db.handle))));
    }
    sqlite3_busy_timeout(db.handle, 10000);
    auto exec = [&](const char* sql) -> Status {
        if (sqlite3_exec(db.handle, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
            return failure(
                QStringLiteral("%1: %2").arg(path, QString::fromUtf8(sqlite3_errmsg(db.handle))));
        }
        return {};
    };
    if (Status s = exec("PRAGMA foreign_keys=ON"); !s) {
        return s.error();
    }
    (void)exec("PRAGMA cache_size=-262144");

    const QStringList patientCols = records::patientColumns().mid(1);
    const QStringList scheduleCols = records::scheduleColumns().mid(1);
    Stmt patientInsert;
    Stmt scheduleInsert;
    Stmt existing;
    const QByteArray pSql =
        insertSql(QString::fromUtf16(records::kPatientsTable), patientCols).toUtf8();
    const QByteArray sSql =
        insertSql(QString::fromUtf16(records::kScheduledTable), scheduleCols).toUtf8();
    if (sqlite3_prepare_v2(db.handle, pSql.constData(), -1, &patientInsert.handle, nullptr) !=
            SQLITE_OK ||
        sqlite3_prepare_v2(db.handle, sSql.constData(), -1, &scheduleInsert.handle, nullptr) !=
            SQLITE_OK ||
        sqlite3_prepare_v2(db.handle, "SELECT \"PT_ID\" FROM \"PATIENTS\"", -1, &existing.handle,
                           nullptr) != SQLITE_OK) {
        return failure(QStringLiteral("'%1' is not an Orlo database: %2")
                           .arg(path, QString::fromUtf8(sqlite3_errmsg(db.handle))));
    }
    if (Status s = exec("BEGIN IMMEDIATE"); !s) {
        return s.error();
    }
    // Anything that fails below rolls the whole fill back.
    auto rollback = [&](const QString& why) {
        sqlite3_exec(db.handle, "ROLLBACK", nullptr, nullptr, nullptr);
        return failure(why);
    };

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
    Binder p(patientInsert.handle);
    for (qint64 n = 0; n < options.patients; ++n) {
        PatientInfo info{pick(kLastNames), pick(kFirstNames), {}, digits(10, "0")};
        const QDate dob = now.date().addDays(-qint64(365LL * 1 + rng() % (365 * 90)));
        info.dob = utf8(locale.shortDate(dob));
        // Columns 1.. of PATIENTS in table order.
        int i = 1;
        p.text(i++, info.last);                               // LAST NAME
        p.text(i++, info.first);                              // FIRST NAME
        p.text(i++, std::string(1, char('A' + rng() % 26)));  // MID_IN
        p.text(i++, info.dob);                                // DOB
        p.text(i++, chance(50) ? "M" : "F");                  // SEX
        p.text(i++, chance(15) ? "YES" : "NO");               // DIABETICYN
        p.text(i++, chance(50) ? "Married" : "Single");       // MARITAL_STATUS
        p.text(i++, chance(10) ? "Penicillin" : "");          // ALLERGICREACTIONSTXT
        p.text(i++, digits(6, "NI"));                         // NI_NO
        p.text(i++, digits(8, "INS"));                        // INSUR_NO
        p.text(i++, std::to_string(1 + rng() % 200));         // HOUSENO
        p.text(i++, pick(kStreets));                          // STREET1
        p.text(i++, "");                                      // STREET2
        const size_t place = rng() % kCities.size();
        p.text(i++, kCities[place]);   // CITY
        p.text(i++, kStates[place]);   // STATE
        p.text(i++, digits(5));        // ZIP_CODE
        p.text(i++, digits(10, "0"));  // WORK_TEL
        p.text(i++, info.tel);         // HOME_TEL
        p.text(i++, digits(9, "07"));  // MOBILE
        while (i < patientCols.size() - 2) {
            p.text(i++, "");  // the rest of the form, left empty as most users do
        }
        p.text(i++, created);  // CREATED
        p.text(i++, created);  // LAST_UPDATED
        p.text(i++, "NO");     // DELETE_FLAG
        if (p.step() != SQLITE_DONE) {
            return rollback(QString::fromUtf8(sqlite3_errmsg(db.handle)));
        }
        patientIds.push_back(sqlite3_last_insert_rowid(db.handle));
        infos.push_back(std::move(info));
    }
    if (patientIds.empty() && options.appointments > 0) {
        while (sqlite3_step(existing.handle) == SQLITE_ROW) {
            patientIds.push_back(sqlite3_column_int64(existing.handle, 0));
        }
        if (patientIds.empty()) {
            return rollback(QStringLiteral("There are no patients to give appointments to."));
        }
    }

    // The figures follow a small clinic's book: past visits are mostly
    // completed, about 8% cancelled and 7% not attended; most visits are paid
    // on the day, so only about 3% leave a balance; nine in ten visits set a
    // recall 3 to 24 months on.
    Binder s(scheduleInsert.handle);
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
        s.text(i++, canonical(start));                   // START_TIME
        s.text(i++, canonical(start.addSecs(30 * 60)));  // END_TIME
        s.text(i++, info ? info->last : "");             // LAST_NAME
        s.text(i++, info ? info->first : "");            // FIRST_NAME
        s.text(i++, info ? info->dob : "");              // D_O_B
        s.text(i++, info ? info->tel : "");              // TEL1
        s.text(i++, pick(kReasons));                     // REASON
        s.text(i++, status);                             // STATUS
        s.text(i++, "");                                 // PSCOMMENTS
        s.text(i++, period);                             // RECALLPERIOD
        if (chance(10)) {
            s.null(i++);  // "None": no recall
        } else {
            s.text(i++, canonical(QDateTime(start.date().addMonths(std::stoi(period)), QTime(0, 0),
                                            now.timeZone())));  // RECALLDUEDATE
        }
        s.text(i++, created);             // CREATED_ON
        s.text(i++, created);             // UPDATED_ON
        s.integer(i++, patientIds[who]);  // PT_ID
        const int charges = 53 - 15 + 1;  // EXMHTFT .. RECEIPTNO
        for (int k = 0; k < charges; ++k) {
            const int column = 15 + k;
            if (column == 49) {
                s.text(i++, std::to_string(40 + rng() % 160) + ".00");  // TOTALCOST
            } else if (column == 52) {
                // Most visits are paid on the day; a few percent leave money owed.
                s.text(i++,
                       chance(97) ? "0" : std::to_string(5 + rng() % 120) + ".00");  // BALANCE1
            } else {
                s.text(i++, "");
            }
        }
        s.text(i++, "");  // NOTEPAGE1
        s.text(i++, "");  // NOTEPAGE2
        if (s.step() != SQLITE_DONE) {
            return rollback(QString::fromUtf8(sqlite3_errmsg(db.handle)));
        }
    }
    if (Status c = exec("COMMIT"); !c) {
        return rollback(c.error().description);
    }
    return SeedCounts{options.patients, options.appointments};
}

}  // namespace orlo::tools
