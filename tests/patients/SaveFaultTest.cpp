// Saves and opens of patients and appointments while the shared database is
// unusable (moved away, read-only, locked by another program, garbage, cut
// in half): the user is told, the item keeps every typed value, the file is
// not touched, a notice from another workstation waits, and once the fault
// is cleared nothing read from the database overwrites the item before its
// next save stores exactly what was typed.

#include "DatabaseFault.h"
#include "RecordsFixture.h"
#include "patients/basOutlookPatients.h"
#include "schedule/basOutlookAppointments.h"

namespace orlo::test {
namespace {

enum class Road { Insert, Update, Open };

struct Kind {
    bool patient;
    const char* table;
    const char* keyColumn;
    const char* key;
    const char* edited;
    const char* editedColumn;
    const char* saveTitle;  // of the box shown when a new item's save or an open
    const char* openTitle;  // finds no database
};
constexpr Kind kKinds[] = {{true, "PATIENTS", "PT_ID", "PatientID", "City1", "CITY",
                            "Patient DB Exists Error", "Patient Open Errors"},
                           {false, "SCHEDULED", "SCHEDULE_ID", "ScheduleID", "REASON", "REASON",
                            "Appointment Save Errors", "Appointment Open Errors"}};
constexpr const char* kRoads[] = {"Insert", "Update", "Open"};

struct FaultCase {
    const char* name;
    Fault fault;
    const char* boxSays;  // a part of the box's text, or all of it with %1 the file
};
constexpr FaultCase kFaults[] = {
    {"Missing", Fault::Missing,
     "There has been an error\r\n  Could not find file '%1'.  -2147467259  Orlo Data Provider "
     "(SQLite)"},
    {"ReadOnlyFile", Fault::ReadOnlyFile, "is read-only"},
    {"ReadOnlyFolder", Fault::ReadOnlyFolder, "is read-only"},
    {"Locked", Fault::Locked, "file already in use: another program holds it"},
    {"Garbage", Fault::Garbage, "Unrecognized database format"},
    {"CutInHalf", Fault::CutInHalf, "malformed"},
};

QString l1(const char* s) {
    return QString::fromLatin1(s);
}

// One case of (kind, road, fault), numbered.
class SaveFaultTest : public RecordsFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        RecordsFixture::SetUp();
        ctx->databaseLockWaitMs = 100;
        if (!kind().patient) {
            rawExec(u"INSERT INTO PATIENTS (PT_ID, \"LAST NAME\") VALUES (5, 'Smith')"_s);
        }
    }

    const Kind& kind() const { return kKinds[GetParam() % 2]; }
    static Road road(int param) { return Road((param / 2) % 3); }
    const FaultCase& fault() const { return kFaults[GetParam() / 6]; }
    std::shared_ptr<host::Item> fresh() {
        return kind().patient
                   ? newPatient(u"O'Brien"_s, u"Zoë"_s, u"01/02/1970"_s)
                   : newAppointment(naiveDateTime(QDate(2026, 3, 16), QTime(9, 0)), u"5"_s);
    }
    QString edited(const std::shared_ptr<host::Item>& item) {
        return text(item, l1(kind().edited));
    }
};

TEST_P(SaveFaultTest, TheUserIsToldAndNothingTypedIsLost) {
    const Road road = SaveFaultTest::road(GetParam());
    DatabaseFault fault(dbPath, this->fault().fault);
    auto item = fresh();
    display(item);
    set(item, l1(kind().edited), u"Leeds"_s);
    if (road != Road::Insert) {
        ASSERT_TRUE(item->Close(host::SaveMode::Save).ok());
        ASSERT_EQ(text(item, l1(kind().key)), u"1"_s);
        display(item);
    }
    // What the user types while the file is still fine.
    const QString typed = road == Road::Open ? u"Leeds"_s : u"Hull; 'x' -- %"_s;
    set(item, l1(kind().edited), typed);
    const QString logBefore = errorLog();
    fault.apply();
    const QByteArray faulted = readFile(fault.filePath());
    if (road == Road::Open) {
        ASSERT_TRUE(item->Close(host::SaveMode::Discard).ok());
        display(item);
    } else {
        // The desk's own save goes through, whatever the database does.
        ASSERT_TRUE(item->Save().ok());
    }
    // Reading a file that cannot be written is no fault.
    const bool readable = road == Road::Open && (this->fault().fault == Fault::ReadOnlyFile ||
                                                 this->fault().fault == Fault::ReadOnlyFolder);
    ASSERT_EQ(boxes.shown().size(), readable ? 0u : 1u);
    if (!readable) {
        const MessageBoxRequest& box = boxes.shown()[0];
        if (road != Road::Update && this->fault().fault == Fault::Missing) {
            EXPECT_EQ(box.title, l1(road == Road::Open ? kind().openTitle : kind().saveTitle));
            EXPECT_EQ(box.icon, MsgIcon::Critical);
        }
        EXPECT_TRUE(box.text.startsWith(u"There has been an error\r\n  "_s));
        const QString says = QString::fromUtf8(this->fault().boxSays);
        if (says.contains(u"%1"_s)) {
            EXPECT_EQ(box.text, says.arg(dbPath));
        } else {
            EXPECT_TRUE(box.text.contains(says)) << box.text.toStdString();
        }
        // Logged once, as the user was told once.
        EXPECT_EQ(errorLog().mid(logBefore.size()).count(u"] Error #"_s), 1)
            << errorLog().toStdString();
    }
    // The desk's own save went through: nothing typed is lost.
    EXPECT_TRUE(road == Road::Open || item->Saved());
    if (road == Road::Update) {
        // Another workstation's notice for the item waits: it is refused
        // with a reason the receiver logs, and the item keeps what was typed.
        QStringList values(kind().patient ? 50 : 55, u"Peer"_s);
        values[0] = u"1"_s;
        const Status notice = kind().patient
                                  ? patients::UpdatePatientItem(*ctx, values)
                                  : schedule::UpdateAppointmentItem(*ctx, u"1"_s, values);
        ctx->PatientItemSaveEnabled = ctx->ApptItemSaveEnabled = true;
        ASSERT_FALSE(notice.ok());
        EXPECT_EQ(notice.error().description,
                  (kind().patient ? u"The contact with PatientID 1"_s
                                  : u"The appointment with ScheduleID 1"_s) +
                      u" has changes not yet in the shared database; its own save comes first"_s);
    }
    EXPECT_EQ(edited(item), typed);
    EXPECT_TRUE(readFile(fault.filePath()) == faulted);
    EXPECT_TRUE(peers.lines.size() == (road == Road::Insert ? 0u : 1u));

    fault.clear();
    boxes.clear();
    if (road != Road::Open) {
        // Opened again, the item is not refreshed from the older row: the
        // user is told that the changes still wait for a save.
        EXPECT_EQ(item->propertyText(u"OrloSavePending"_s), u"YES"_s);
        ASSERT_TRUE(item->Close(host::SaveMode::Discard).ok());
        display(item);
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].title, u"Orlo Software - Changes Not Saved"_s);
        EXPECT_EQ(boxes.shown()[0].text,
                  u"The changes to this %1 are not yet in the shared database: its last save "
                  "could not reach it.\r\rThe %1 is shown as it was typed. Save it again to "
                  "store it."_s.arg(kind().patient ? u"patient"_s : u"appointment"_s));
        EXPECT_EQ(edited(item), typed);
        boxes.clear();
    }
    ASSERT_TRUE(item->Save().ok());
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(rawValue(u"SELECT \"%1\" FROM %2 WHERE %3 = 1"_s.arg(
                  l1(kind().editedColumn), l1(kind().table), l1(kind().keyColumn))),
              typed);
    EXPECT_EQ(text(item, l1(kind().key)), u"1"_s);
    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM "_s + l1(kind().table)), 1);
    EXPECT_TRUE(item->propertyText(u"OrloSavePending"_s).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Faults, SaveFaultTest, ::testing::Range(0, 36),
                         [](const ::testing::TestParamInfo<int>& param) {
                             return std::string(kKinds[param.param % 2].patient ? "Patient"
                                                                                : "Appointment") +
                                    kRoads[(param.param / 2) % 3] + "_" +
                                    kFaults[param.param / 6].name;
                         });

struct CorpusKind {
    bool patient;
    const char* table;
    std::vector<std::pair<const char*, const char*>> fields;  // property, column
};

// Hostile text typed into the fields of both forms.
using HostileTextTest = RecordsFixture;

TEST_F(HostileTextTest, EveryValueIsStoredAndReadBackAsTyped) {
    rawExec(u"INSERT INTO PATIENTS (PT_ID, \"LAST NAME\") VALUES (5000, 'Smith')"_s);
    const CorpusKind kinds[] = {
        {true,
         "PATIENTS",
         {{"Last Name", "LAST NAME"},
          {"Middle Name", "MID_IN"},
          {"City1", "CITY"},
          {"Gnote", "CTGNOTE"},
          {"MED1", "CLINICAL_MED1"},
          {"NotesPage2", "NOTES_NOTES2"}}},
        {false,
         "SCHEDULED",
         {{"LNAME", "LAST_NAME"},
          {"REASON", "REASON"},
          {"PScomments", "PSCOMMENTS"},
          {"HistOther", "HISTOTHER"},
          {"NOTEPAGE2", "NOTEPAGE2"}}},
    };
    // Hostile text typed into the fields of both forms: stored and read back
    // byte for byte, except the control characters removed and the lone
    // surrogates replaced before anything is written.
    std::vector<std::pair<QString, QString>> values;
    for (const char16_t* same :
         {u"''; DROP TABLE PATIENTS; --", u"x'); DELETE FROM SCHEDULED WHERE ('1'='1",
          u"100% _match_ *star* ?q #h", u"[LAST NAME] [x]", u"back\\slash\\\\",
          u"line one\r\nline two", u"a\rb\nc", u"tab\there", u"😀 👩‍⚕️", u"مريض שָׁלוֹם",
          u"\"double\" quotes, and commas", u"`backtick` $(echo) ${x}", u"NULL",
          u"\u200Bzero width", u"\uFEFFafter a BOM"}) {
        values.push_back({QStringView(same).toString(), QStringView(same).toString()});
    }
    values.push_back({QString(10000, u'w'), QString(10000, u'w')});
    values.push_back({u"Ann"_s + QChar(0) + u"Lee"_s, u"AnnLee"_s});
    values.push_back({u"\x1b[31mred"_s, u"[31mred"_s});
    values.push_back({u"bell\x07 and del\x7f"_s, u"bell and del"_s});
    values.push_back({u"next\u0085line"_s, u"nextline"_s});
    values.push_back({u"high "_s + QChar(0xD800) + u" alone"_s, u"high \uFFFD alone"_s});
    values.push_back({QChar(0xDC00) + u"low first"_s, u"\uFFFDlow first"_s});
    for (const CorpusKind& kind : kinds) {
        int n = 0;
        for (const auto& [typed, stored] : values) {
            ++n;
            SCOPED_TRACE(u"%1 value %2"_s.arg(l1(kind.table)).arg(n).toStdString());
            auto item =
                kind.patient
                    ? newPatient(u"x"_s, u"F%1"_s.arg(n), u"01/02/1970"_s)
                    : newAppointment(naiveDateTime(QDate(2026, 3, 16), QTime(9, 0)), u"5000"_s);
            display(item);
            for (int save = 0; save < 2; ++save) {
                for (const auto& [property, column] : kind.fields) {
                    set(item, l1(property), typed);
                }
                ASSERT_TRUE(item->Save().ok());
            }
            ASSERT_TRUE(item->Close(host::SaveMode::Discard).ok());
            display(item);
            const QString key = text(item, kind.patient ? u"PatientID"_s : u"ScheduleID"_s);
            ASSERT_FALSE(key.isEmpty());
            for (const auto& [property, column] : kind.fields) {
                EXPECT_EQ(text(item, l1(property)), stored) << property;
                EXPECT_EQ(rawValue(u"SELECT hex(\"%1\") FROM %2 WHERE %3 = %4"_s.arg(
                              l1(column), l1(kind.table),
                              kind.patient ? u"PT_ID"_s : u"SCHEDULE_ID"_s, key)),
                          QString::fromLatin1(stored.toUtf8().toHex().toUpper()))
                    << column;
            }
            ASSERT_TRUE(item->Close(host::SaveMode::Discard).ok());
        }
        EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM "_s + l1(kind.table)),
                  qint64(values.size()) + (kind.patient ? 1 : 0));
    }
    EXPECT_TRUE(boxes.shown().empty());
    // The log names the fields cleaned, never their values.
    EXPECT_TRUE(
        errorLog().contains(u"Characters that cannot be stored were removed from "
                            "Last Name, Middle Name, City1, Gnote, MED1, NotesPage2 of a "
                            "IPM.Contact.Patient item before its save."_s))
        << errorLog().toStdString();
    EXPECT_FALSE(errorLog().contains(u"AnnLee"_s));
    EXPECT_FALSE(errorLog().contains(u"[31m"_s));
}

}  // namespace
}  // namespace orlo::test
