#include "records/Schema.h"

#include "records/FieldMaps.h"

namespace orlo::records {

namespace {

constexpr const char16_t* kDateColumns[] = {u"START_TIME",  u"END_TIME",   u"RECALLDUEDATE",
                                            u"CREATED_ON",  u"UPDATED_ON", u"CREATED",
                                            u"LAST_UPDATED"};

constexpr const char16_t* kSessionColumns[] = {u"IP", u"LOGGED_IN_AT", u"CURRSESSIONID", u"PORT_IN",
                                               u"PORT_OUT"};

QString quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// The declaration of one column. Text compares case-insensitively, as the
// desk's users expect of names ("o'brien" finds "O'Brien").
QString declaration(const QString& name, QStringView keyColumn, QStringView integerColumn) {
    if (name == keyColumn) {
        return quoted(name) + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    }
    if (name == integerColumn) {
        return quoted(name) + QStringLiteral(" INTEGER");
    }
    if (isDateColumn(name)) {
        return quoted(name) + QStringLiteral(" DATETIME");
    }
    return quoted(name) + QStringLiteral(" TEXT COLLATE NOCASE");
}

QString createTable(QStringView table, const QStringList& columns, QStringView keyColumn,
                    QStringView integerColumn = {}, const QString& extra = {}) {
    QStringList parts;
    for (const QString& c : columns) {
        parts << declaration(c, keyColumn, integerColumn);
    }
    if (!extra.isEmpty()) {
        parts << extra;
    }
    return QStringLiteral("CREATE TABLE ") + quoted(table.toString()) + QStringLiteral(" (\n  ") +
           parts.join(QStringLiteral(",\n  ")) + QStringLiteral("\n)");
}

}  // namespace

QStringList patientColumns() {
    QStringList columns;
    for (int c = 0; c < kPatientValueCount; ++c) {
        columns << str(patientFieldAtColumn(c).columnName);
    }
    return columns;
}

QStringList scheduleColumns() {
    QStringList columns;
    for (const ScheduleField& f : scheduleFields()) {
        columns << str(f.columnName);
    }
    return columns;
}

QStringList sessionColumns() {
    QStringList columns;
    for (const char16_t* c : kSessionColumns) {
        columns << str(c);
    }
    return columns;
}

bool isDateColumn(QStringView column) {
    const qsizetype dot = column.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        column = column.mid(dot + 1);
    }
    for (const char16_t* d : kDateColumns) {
        if (column.compare(QStringView(d), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

QStringList sharedSchemaStatements() {
    const QString patientKey = str(patientFieldAtColumn(0).columnName);
    const QString scheduleKey = str(scheduleField(0).columnName);
    // SCHEDULED.PT_ID must name an existing patient; deleting a patient who
    // still has appointments is refused (the finder tells the user so).
    const QString fk = QStringLiteral("FOREIGN KEY (\"PT_ID\") REFERENCES \"PATIENTS\"(\"PT_ID\")");
    QStringList statements = {
        createTable(kPatientsTable, patientColumns(), patientKey),
        createTable(kScheduledTable, scheduleColumns(), scheduleKey, patientKey, fk),
        createTable(kSessionsTable, sessionColumns(), u""),
    };
    statements << sharedIndexStatements() << sharedSchemaVersionStatement();
    return statements;
}

QStringList sharedIndexStatements() {
    const QString create = QStringLiteral("CREATE INDEX IF NOT EXISTS ");
    return {
        // The duplicate check of a patient save and the finder's order.
        create + QStringLiteral("\"PATIENTS_NAME_DOB\" ON \"PATIENTS\" "
                                "(\"LAST NAME\", \"FIRST NAME\", \"DOB\")"),
        // Joins of the reports and the overdue reports' count of a patient's
        // future appointments (PT_ID = ? AND START_TIME > ?); it also serves
        // every lookup by PT_ID alone.
        create + QStringLiteral("\"SCHEDULED_PT_ID_START_TIME\" ON \"SCHEDULED\" "
                                "(\"PT_ID\", \"START_TIME\")"),
        // The no-show report: two statuses within the last year.
        create + QStringLiteral("\"SCHEDULED_STATUS_START_TIME\" ON \"SCHEDULED\" "
                                "(\"STATUS\", \"START_TIME\")"),
        // The balance report: the few visits with money owed.
        create + QStringLiteral("\"SCHEDULED_BALANCE1\" ON \"SCHEDULED\" (\"BALANCE1\")"),
        // The recall windows, the overdue ladder and the recall list; with
        // PT_ID the recall lists (due date and patient) read no table row.
        create + QStringLiteral("\"SCHEDULED_RECALLDUEDATE\" ON \"SCHEDULED\" "
                                "(\"RECALLDUEDATE\", \"PT_ID\")"),
        create + QStringLiteral("\"SCHEDULED_START_TIME\" ON \"SCHEDULED\" (\"START_TIME\")"),
        create + QStringLiteral("\"CURRENTSESSIONS_IP\" ON \"CURRENTSESSIONS\" (\"IP\")"),
    };
}

QString sharedSchemaVersionStatement() {
    return QStringLiteral("PRAGMA user_version = %1").arg(kSharedSchemaVersion);
}

QStringList scratchSchemaStatements() {
    QStringList statements;
    for (const char16_t* t : {kTempScheduleDb, kTempPatientDb, kTempScheduleOl, kTempPatientOl}) {
        const QString table = str(t);
        statements << QStringLiteral("CREATE TABLE ") + quoted(table) + QStringLiteral(" (") +
                          quoted(str(kScratchKeyColumn)) + QStringLiteral(" NUMERIC)");
        // The resync's "not exists" difference looks keys up in the other table.
        statements << QStringLiteral("CREATE INDEX ") + quoted(table + QStringLiteral("_ids")) +
                          QStringLiteral(" ON ") + quoted(table) + QStringLiteral(" (") +
                          quoted(str(kScratchKeyColumn)) + QStringLiteral(")");
    }
    return statements;
}

}  // namespace orlo::records
