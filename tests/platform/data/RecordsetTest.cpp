// Recordsets over the shared database: moving, fields by name and position,
// join names, GetRows, AddNew with the key before Update, Delete, Filter and
// Requery, and the errors callers test.

#include <gtest/gtest.h>

#include <functional>

#include "TestDatabases.h"
#include "platform/data/DataErrors.h"
#include "platform/data/Recordset.h"

using namespace orlo;
using namespace orlo::data;
using orlo::test::shown;

namespace {

// Every case on the file and on a PostgreSQL server.
class RecordsetTest : public ::testing::TestWithParam<test::Engine> {
protected:
    void SetUp() override {
        dbs.addPatients({{1, "Smith", "Ann"},
                         {2, "O'Brien", "Sean"},
                         {3, "Van Dyke", "Dick"},
                         {4, "de Souza", "Ana"},
                         {5, "Jones", "Bob"}});
        dbs.addAppointments({{10, 2, "2026-06-01 09:00:00"},
                             {11, 2, "2026-06-20 09:00:00"},
                             {12, 5, "2026-05-01 09:00:00"}});
        ASSERT_TRUE(conn.open(dbs.sharedPath()).ok());
    }

    // One column of every row, from the first on.
    static QStringList column(Recordset& rs, const QString& name = u"LAST NAME"_s) {
        QStringList values;
        EXPECT_TRUE(rs.moveFirst().ok());
        while (!rs.eof()) {
            values << shown(*rs.field(name));
            EXPECT_TRUE(rs.moveNext().ok());
        }
        return values;
    }
    // Opens `sql` on the fixture's connection (or `on`), failing the test otherwise.
    void open(Recordset& rs, const QString& sql, Connection* on = nullptr) {
        ASSERT_TRUE(rs.open(sql, on ? *on : conn).ok()) << sql.toStdString();
    }
    const QString byLastName =
        u"SELECT PT_ID, [LAST NAME], [FIRST NAME] FROM PATIENTS ORDER BY [LAST NAME]"_s;

    PinnedClock clock{test::at("2026-06-15 10:00:00")};
    Locale locale = Locale::unitedKingdom();
    test::TestDatabases dbs{GetParam()};
    Connection conn{{clock, locale}};
};

}  // namespace

TEST_P(RecordsetTest, MovesThroughRowsReportsTheEndsAndGetRowsReadsToTheEnd) {
    Recordset rs;
    ASSERT_TRUE(rs.open(u"SELECT PT_ID, [LAST NAME] FROM PATIENTS ORDER BY PT_ID"_s, conn,
                        kOpenKeyset, kLockOptimistic, kCmdUnspecified)
                    .ok());
    EXPECT_EQ(rs.state(), kStateOpen);
    EXPECT_EQ(*rs.recordCount(), 5);
    EXPECT_FALSE(rs.bof());
    EXPECT_FALSE(rs.eof());
    EXPECT_EQ(shown(*rs.field(0)), u"1"_s);
    ASSERT_TRUE(rs.moveLast().ok());
    EXPECT_EQ(shown(*rs.field(u"pt_id"_s)), u"5"_s);
    ASSERT_TRUE(rs.moveNext().ok());
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.field(0).error().number, orlo::err::kNoCurrentRecord);
    EXPECT_EQ(rs.moveNext().error().number, orlo::err::kNoCurrentRecord);
    ASSERT_TRUE(rs.movePrevious().ok());
    EXPECT_EQ(shown(*rs.field(0)), u"5"_s);
    ASSERT_TRUE(rs.moveFirst().ok());
    ASSERT_TRUE(rs.movePrevious().ok());
    EXPECT_TRUE(rs.bof());
    EXPECT_EQ(rs.movePrevious().error().number, orlo::err::kNoCurrentRecord);
    EXPECT_EQ(rs.field(u"NOPE"_s).error().number, orlo::err::kItemNotInCollection);
    EXPECT_EQ(rs.field(7).error().number, orlo::err::kItemNotInCollection);

    Recordset empty;
    open(empty, u"SELECT * FROM PATIENTS WHERE PT_ID = 99"_s);
    EXPECT_EQ(*empty.recordCount(), 0);
    EXPECT_TRUE(empty.bof());
    EXPECT_TRUE(empty.eof());
    EXPECT_EQ(empty.field(0).error().number, orlo::err::kNoCurrentRecord);
    EXPECT_EQ(empty.getRows().error().number, orlo::err::kNoCurrentRecord);
    // GetRows returns columns by row from the current record to the end.
    Recordset one;
    open(one, u"Select * from PATIENTS WHERE PT_ID = 2"_s);
    Result<RowTable> rows = one.getRows();
    ASSERT_TRUE(rows.ok());
    ASSERT_EQ(rows->size(), 50u);
    ASSERT_EQ((*rows)[0].size(), 1u);
    EXPECT_EQ(shown((*rows)[0][0]), u"2"_s);
    EXPECT_EQ(shown((*rows)[1][0]), u"O'Brien"_s);
    EXPECT_EQ(shown((*rows)[4][0]), u"01/02/1970"_s);  // DOB as typed
    EXPECT_EQ(shown((*rows)[47][0]), u"2026-01-01 09:00:00"_s);
    EXPECT_TRUE(one.eof());

    Recordset all;
    open(all, u"SELECT PT_ID FROM PATIENTS ORDER BY PT_ID"_s);
    ASSERT_TRUE(all.moveNext().ok());
    rows = all.getRows();
    ASSERT_EQ((*rows)[0].size(), 4u);
    EXPECT_EQ(shown((*rows)[0][3]), u"5"_s);
}

TEST_P(RecordsetTest, AClosedOrMisfedRecordsetRefusesAndOneOutlivesItsConnectionObject) {
    Recordset changes;
    EXPECT_FALSE(changes.open(u"DELETE FROM PATIENTS"_s, conn).ok());
    EXPECT_EQ(changes.state(), kStateClosed);
    EXPECT_EQ(dbs.rawValue(u"SELECT count(*) FROM PATIENTS"_s), u"5"_s);
    EXPECT_FALSE(changes.open(u"SELECT * FROM NOWHERE"_s, conn).ok());
    EXPECT_EQ(conn.errors().back().number, orlo::err::kCommandError);

    Recordset rs;
    EXPECT_EQ(rs.state(), kStateClosed);
    EXPECT_EQ(rs.moveFirst().error().number, orlo::err::kOperationNotAllowed);
    open(rs, u"PATIENTS"_s);
    rs.close();
    EXPECT_EQ(rs.state(), kStateClosed);
    EXPECT_EQ(rs.recordCount().error().number, orlo::err::kOperationNotAllowed);
    EXPECT_EQ(rs.field(0).error().number, orlo::err::kOperationNotAllowed);
    EXPECT_EQ(rs.requery().error().number, orlo::err::kOperationNotAllowed);

    // Closing the connection closes what was opened over it.
    Recordset other;
    open(other, u"PATIENTS"_s);
    ASSERT_TRUE(conn.close().ok());
    EXPECT_EQ(other.state(), kStateClosed);
    EXPECT_EQ(other.moveNext().error().number, orlo::err::kOperationNotAllowed);

    // A recordset keeps its connection alive when the connection object goes.
    {
        Connection local({clock, locale});
        ASSERT_TRUE(local.open(dbs.sharedPath()).ok());
        ASSERT_TRUE(rs.open(u"SELECT * FROM PATIENTS ORDER BY PT_ID"_s, local, kOpenStatic).ok());
    }
    EXPECT_EQ(rs.state(), kStateOpen);
    EXPECT_EQ(*rs.recordCount(), 5);
    EXPECT_TRUE(rs.requery().ok());
}

TEST_P(RecordsetTest, AJoinNamesItsDuplicateColumnsByTableAndAKeylessTableChangesByRow) {
    Recordset rs;
    ASSERT_TRUE(rs.open(u"SELECT PATIENTS.*, SCHEDULED.* from PATIENTS, SCHEDULED WHERE "
                        "PATIENTS.PT_ID=SCHEDULED.PT_ID ORDER BY SCHEDULE_ID"_s,
                        conn, kOpenStatic)
                    .ok());
    ASSERT_EQ(rs.fieldCount(), 50 + 56);
    EXPECT_EQ(*rs.fieldName(0), u"PATIENTS.PT_ID"_s);
    EXPECT_EQ(*rs.fieldName(1), u"LAST NAME"_s);
    EXPECT_EQ(*rs.fieldName(50), u"SCHEDULE_ID"_s);
    EXPECT_EQ(*rs.fieldName(64), u"SCHEDULED.PT_ID"_s);
    EXPECT_EQ(shown(*rs.field(u"PATIENTS.PT_ID"_s)), u"2"_s);
    EXPECT_EQ(shown(*rs.field(u"SCHEDULED.PT_ID"_s)), u"2"_s);
    EXPECT_EQ(shown(*rs.field(u"PATIENTS.LAST NAME"_s)), u"O'Brien"_s);
    EXPECT_EQ(shown(*rs.field(u"START_TIME"_s)), u"2026-06-01 09:00:00"_s);
    // A bare duplicate name is ambiguous.
    EXPECT_EQ(rs.field(u"PT_ID"_s).error().number, orlo::err::kItemNotInCollection);
    // A join cannot take deletes.
    EXPECT_FALSE(rs.deleteCurrent().ok());
    // A table without a key takes AddNew, edits and deletes by row.
    Recordset sessions;
    open(sessions, u"CURRENTSESSIONS"_s);
    for (const char* ip : {"127.0.0.2", "127.0.0.3"}) {
        ASSERT_TRUE(sessions.addNew().ok());
        ASSERT_TRUE(sessions.setField(u"IP"_s, QString::fromLatin1(ip)).ok());
        ASSERT_TRUE(sessions.setField(u"PORT_IN"_s, u"20050"_s).ok());
        ASSERT_TRUE(sessions.update().ok());
    }
    ASSERT_TRUE(sessions.requery().ok());
    EXPECT_EQ(*sessions.recordCount(), 2);
    EXPECT_EQ(sessions.fieldCount(), 5);  // the row number stays hidden
    ASSERT_TRUE(sessions.setField(u"PORT_OUT"_s, u"dummy"_s).ok());
    ASSERT_TRUE(sessions.update().ok());
    ASSERT_TRUE(sessions.moveNext().ok());
    ASSERT_TRUE(sessions.deleteCurrent().ok());
    EXPECT_EQ(dbs.rawValue(u"SELECT IP || '|' || PORT_OUT FROM CURRENTSESSIONS"_s),
              u"127.0.0.2|dummy"_s);
}

TEST_P(RecordsetTest, AddNewGivesTheCounterKeyBeforeUpdateCommitsTheRow) {
    Recordset rs;
    ASSERT_TRUE(rs.open(u"PATIENTS"_s, conn, kOpenKeyset, kLockOptimistic).ok());
    ASSERT_TRUE(rs.addNew().ok());
    ASSERT_TRUE(rs.setField(u"LAST NAME"_s, u"O'Hara"_s).ok());
    ASSERT_TRUE(rs.setField(u"FIRST NAME"_s, u"Kim"_s).ok());
    ASSERT_TRUE(rs.setField(u"DOB"_s, u"3/4/1990"_s).ok());
    ASSERT_TRUE(rs.setField(u"CREATED"_s, Variant(clock.now())).ok());
    ASSERT_TRUE(rs.setField(u"DELETE_FLAG"_s, u"NO"_s).ok());
    const QString key = shown(*rs.field(0));
    EXPECT_EQ(key, u"6"_s);
    EXPECT_FALSE(rs.setField(u"PT_ID"_s, 77).ok());  // the database assigns it
    ASSERT_TRUE(rs.update().ok());
    EXPECT_EQ(dbs.rawValue(u"SELECT \"LAST NAME\" || '|' || DOB || '|' || CREATED FROM "
                           "PATIENTS WHERE PT_ID = 6"_s),
              u"O'Hara|3/4/1990|2026-06-15 10:00:00"_s);
    EXPECT_EQ(shown(*rs.field(u"FIRST NAME"_s)), u"Kim"_s);
    EXPECT_EQ(*rs.recordCount(), 6);

    // A deleted top row does not give its number out again.
    ASSERT_TRUE(conn.execute(u"DELETE FROM PATIENTS WHERE PT_ID = 6"_s).ok());
    ASSERT_TRUE(rs.addNew().ok());
    EXPECT_EQ(shown(*rs.field(u"PT_ID"_s)), u"7"_s);
    ASSERT_TRUE(rs.cancelUpdate().ok());
    EXPECT_EQ(dbs.rawValue(u"SELECT count(*) FROM PATIENTS"_s), u"5"_s);

    // An AddNew abandoned by closing writes nothing and frees the file.
    ASSERT_TRUE(rs.addNew().ok());
    ASSERT_TRUE(rs.setField(u"LAST NAME"_s, u"Gone"_s).ok());
    rs.close();
    EXPECT_EQ(dbs.rawValue(u"SELECT count(*) FROM PATIENTS"_s), u"5"_s);
    EXPECT_TRUE(conn.execute(u"DELETE FROM CURRENTSESSIONS"_s).ok());

    // An appointment for an unknown patient is refused at Update.
    Recordset appointments;
    open(appointments, u"SCHEDULED"_s);
    ASSERT_TRUE(appointments.addNew().ok());
    EXPECT_EQ(shown(*appointments.field(0)), u"13"_s);
    ASSERT_TRUE(appointments.setField(u"PT_ID"_s, 42).ok());
    EXPECT_EQ(test::failure(appointments.update()), orlo::err::kReferencedRecord);
    ASSERT_TRUE(appointments.setField(u"PT_ID"_s, u"5"_s).ok());
    ASSERT_TRUE(appointments.update().ok());
    EXPECT_EQ(dbs.rawValue(u"SELECT PT_ID FROM SCHEDULED WHERE SCHEDULE_ID = 13"_s), u"5"_s);
    EXPECT_EQ(test::failure(appointments.setField(u"PT_ID"_s, u"five"_s)),
              orlo::err::kTypeMismatch);
}

TEST_P(RecordsetTest, DeleteRemovesTheCurrentRowUnlessAppointmentsReferToIt) {
    Recordset rs;
    open(rs, byLastName);
    // Walk to O'Brien (PT_ID 2), who has appointments.
    while (!rs.eof() && shown(*rs.field(u"PT_ID"_s)) != u"2"_s) {
        ASSERT_TRUE(rs.moveNext().ok());
    }
    EXPECT_EQ(test::failure(rs.deleteCurrent()), orlo::err::kReferencedRecord);
    EXPECT_EQ(conn.errors().back().number, orlo::err::kReferencedRecord);
    EXPECT_EQ(dbs.rawValue(u"SELECT count(*) FROM PATIENTS WHERE PT_ID = 2"_s), u"1"_s);

    ASSERT_TRUE(rs.moveFirst().ok());  // de Souza (case-insensitive order), no appointments
    EXPECT_EQ(shown(*rs.field(1)), u"de Souza"_s);
    ASSERT_TRUE(rs.deleteCurrent().ok());
    EXPECT_EQ(*rs.recordCount(), 4);
    EXPECT_EQ(rs.field(0).error().number, data::err::kRecordDeleted);
    ASSERT_TRUE(rs.moveNext().ok());
    EXPECT_EQ(shown(*rs.field(1)), u"Jones"_s);
    EXPECT_EQ(dbs.rawValue(u"SELECT count(*) FROM PATIENTS WHERE PT_ID = 4"_s), u"0"_s);
    ASSERT_TRUE(rs.requery().ok());
    EXPECT_EQ(column(rs), (QStringList{u"Jones"_s, u"O'Brien"_s, u"Smith"_s, u"Van Dyke"_s}));
}

// What a filter text matches is the dialect's (tested with it); here that
// the recordset keeps its order, requeries and clears under a filter.
TEST_P(RecordsetTest, FilterKeepsTheOrderClearsAndLikeOnADateMatchesTheLocalesGeneralDate) {
    Recordset byName;
    open(byName, byLastName);
    ASSERT_TRUE(byName.setFilter(u"[LAST NAME] LIKE *o*"_s).ok());
    EXPECT_EQ(column(byName), (QStringList{u"de Souza"_s, u"Jones"_s, u"O'Brien"_s}));
    // A filter matching nothing leaves both ends.
    ASSERT_TRUE(byName.setFilter(u"[LAST NAME] LIKE *zzz*"_s).ok());
    EXPECT_TRUE(byName.eof() && byName.bof());
    // Rows added elsewhere show up at the next requery, still filtered.
    ASSERT_TRUE(byName.setFilter(u"[LAST NAME] LIKE *O'B*"_s).ok());
    dbs.addPatients({{9, "O'Brian", "Tom"}});
    ASSERT_TRUE(byName.requery().ok());
    EXPECT_EQ(column(byName), (QStringList{u"O'Brian"_s, u"O'Brien"_s}));
    ASSERT_TRUE(byName.setFilter(u"0"_s).ok());
    EXPECT_EQ(*byName.recordCount(), 6);
    ASSERT_TRUE(byName.setFilter(u"[LAST NAME] LIKE *Smith*"_s).ok());
    ASSERT_TRUE(byName.clearFilter().ok());
    EXPECT_EQ(*byName.recordCount(), 6);
    EXPECT_TRUE(byName.filter().isEmpty());
    // LIKE on a date column matches the text a user sees, the locale's general
    // date (no time at midnight), on both engines alike.
    dbs.addAppointments({{13, 1, "2026-06-20 00:00:00"}, {14, 1, "2026-06-20 15:05:09"}});
    const Locale us = Locale::unitedStates();
    Connection usConn{{clock, us}};
    ASSERT_TRUE(usConn.open(dbs.sharedPath()).ok());
    const struct {
        Connection* on;
        const char* filter;
        const char* ids;
    } cases[] = {
        {&conn, "[START_TIME] LIKE '20/06/2026*'", "11 13 14"},
        {&conn, "[START_TIME] LIKE '*/2026'", "13"},
        {&conn, "[START_TIME] LIKE '*:05:*'", "14"},
        {&conn, "[START_TIME] LIKE '2026-06*'", ""},
        {&usConn, "[START_TIME] LIKE '6/20/2026*'", "11 13 14"},
        {&usConn, "[START_TIME] LIKE '*pm'", "14"},
        {&usConn, "[START_TIME] NOT LIKE '*AM'", "13 14"},
        {&usConn, "[START_TIME] LIKE '6/1/2026 9:00:00 AM'", "10"},
    };
    for (const auto& c : cases) {
        Recordset rs;
        open(rs, u"SELECT SCHEDULE_ID, START_TIME FROM SCHEDULED ORDER BY SCHEDULE_ID"_s, c.on);
        ASSERT_TRUE(rs.setFilter(QString::fromLatin1(c.filter)).ok()) << c.filter;
        EXPECT_EQ(column(rs, u"SCHEDULE_ID"_s).join(u' '), QString::fromLatin1(c.ids)) << c.filter;
    }
}

// Leaving a row with changes pending: a move or GetRows writes them to the
// row they were made on (or commits the new row) before it moves; Requery
// refuses and keeps them. Nothing ever lands on another row.
TEST_P(RecordsetTest, PendingChangesAreWrittenToTheirOwnRowBeforeTheRecordsetMoves) {
    struct Case {
        const char* name;
        std::function<Status(Recordset&)> leave;
        bool refused;  // the changes stay pending
    };
    const Case cases[] = {
        {"MoveFirst", [](Recordset& rs) { return rs.moveFirst(); }, false},
        {"MoveLast", [](Recordset& rs) { return rs.moveLast(); }, false},
        {"MoveNext", [](Recordset& rs) { return rs.moveNext(); }, false},
        {"MovePrevious", [](Recordset& rs) { return rs.movePrevious(); }, false},
        {"GetRows",
         [](Recordset& rs) -> Status {
             ORLO_TRY(rs.getRows());
             return {};
         },
         false},
        {"Requery", [](Recordset& rs) { return rs.requery(); }, true},
    };
    const QString names =
        u"SELECT group_concat(\"LAST NAME\", '|') FROM (SELECT \"LAST NAME\" FROM PATIENTS "
        "ORDER BY PT_ID) AS t"_s;
    for (const Case& c : cases) {
        for (const bool adding : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (adding ? " after AddNew" : " after an edit"));
            dbs.rawExec(
                u"DELETE FROM PATIENTS WHERE PT_ID > 5; UPDATE PATIENTS SET "
                "\"LAST NAME\" = CASE PT_ID WHEN 1 THEN 'Smith' WHEN 2 THEN "
                "'O''Brien' WHEN 3 THEN 'Van Dyke' WHEN 4 THEN 'de Souza' "
                "ELSE 'Jones' END"_s);
            Recordset rs;
            open(rs, u"SELECT * FROM PATIENTS ORDER BY PT_ID"_s);
            for (int row = 1; row < 3; ++row) {
                ASSERT_TRUE(rs.moveNext().ok());
            }
            if (adding) {
                ASSERT_TRUE(rs.addNew().ok());
            }
            ASSERT_TRUE(rs.setField(u"LAST NAME"_s, u"Edited"_s).ok());
            const Status left = c.leave(rs);
            const QString edited = adding ? u"Smith|O'Brien|Van Dyke|de Souza|Jones|Edited"_s
                                          : u"Smith|O'Brien|Edited|de Souza|Jones"_s;
            if (c.refused) {
                ASSERT_EQ(test::failure(left), orlo::err::kOperationNotAllowed);
                EXPECT_EQ(dbs.rawValue(names), u"Smith|O'Brien|Van Dyke|de Souza|Jones"_s);
                if (!adding) {
                    EXPECT_EQ(shown(*rs.field(u"PT_ID"_s)), u"3"_s);
                }
                ASSERT_TRUE(rs.update().ok());
            } else {
                ASSERT_TRUE(left.ok()) << left.error().description.toStdString();
                // A later Update has nothing left to write anywhere.
                if (!rs.eof() && !rs.bof()) {
                    ASSERT_TRUE(rs.update().ok());
                }
            }
            EXPECT_EQ(dbs.rawValue(names), edited);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordsetTest,
                         ::testing::Values(test::Engine::File, test::Engine::Server),
                         [](const ::testing::TestParamInfo<test::Engine>& param) {
                             return std::string(test::engineName(param.param));
                         });
