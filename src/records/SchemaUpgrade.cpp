#include "records/SchemaUpgrade.h"

#include "platform/data/Connection.h"
#include "platform/data/ConnectionString.h"
#include "platform/data/DataErrors.h"
#include "platform/data/Recordset.h"
#include "records/Schema.h"

namespace orlo::records {

namespace {

constexpr char16_t kReadVersion[] = u"SELECT user_version FROM pragma_user_version";
constexpr char16_t kIndexNames[] =
    u"SELECT name FROM sqlite_schema WHERE type = 'index' AND sql IS NOT NULL";

// The first column of every row of `sql`, as text.
Result<QStringList> column(data::Connection& conn, const char16_t* sql) {
    data::Recordset rs;
    if (Status s = rs.open(QString::fromUtf16(sql), conn, data::kOpenStatic, data::kLockReadOnly);
        !s) {
        return s.error();
    }
    QStringList values;
    while (!rs.eof()) {
        const Result<Variant> v = rs.field(0);
        if (!v) {
            return v.error();
        }
        values << v->text(conn.context().locale);
        if (Status s = rs.moveNext(); !s) {
            return s.error();
        }
    }
    return values;
}

}  // namespace

QString SchemaUpgrade::summary() const {
    if (!changed()) {
        return QStringLiteral("%1 is at schema version %2: nothing to do")
            .arg(database)
            .arg(toVersion);
    }
    QString text = QStringLiteral("upgraded %1 from schema version %2 to %3")
                       .arg(database)
                       .arg(fromVersion)
                       .arg(toVersion);
    if (!addedIndexes.isEmpty()) {
        text += QStringLiteral(": added ") + addedIndexes.join(QStringLiteral(", "));
    }
    return text;
}

Result<SchemaUpgrade> upgradeSharedSchema(const QString& path, const data::DataContext& context) {
    data::Connection conn(context);
    conn.setProvider(QString::fromUtf16(data::kJetProvider));
    if (Status s = conn.open(path); !s) {
        return s.error();
    }
    const Result<QStringList> version = column(conn, kReadVersion);
    if (!version) {
        return version.error();
    }
    SchemaUpgrade upgrade;
    upgrade.database = path;
    upgrade.fromVersion = version->value(0).toInt();
    upgrade.toVersion = upgrade.fromVersion;
    if (upgrade.fromVersion > kSharedSchemaVersion) {
        return makeError(orlo::err::kOperationNotAllowed,
                         QStringLiteral("%1 is at schema version %2, newer than this Orlo's %3; "
                                        "nothing was changed")
                             .arg(path)
                             .arg(upgrade.fromVersion)
                             .arg(kSharedSchemaVersion),
                         QStringLiteral("Orlo"));
    }
    if (upgrade.fromVersion == kSharedSchemaVersion) {
        return upgrade;
    }
    const Result<QStringList> before = column(conn, kIndexNames);
    if (!before) {
        return before.error();
    }
    for (const QString& sql : sharedIndexStatements()) {
        if (const Result<qint64> done = conn.execute(sql); !done) {
            return done.error();
        }
    }
    const Result<QStringList> after = column(conn, kIndexNames);
    if (!after) {
        return after.error();
    }
    for (const QString& name : *after) {
        if (!before->contains(name)) {
            upgrade.addedIndexes << name;
        }
    }
    upgrade.addedIndexes.sort();
    if (const Result<qint64> done = conn.execute(sharedSchemaVersionStatement()); !done) {
        return done.error();
    }
    upgrade.toVersion = kSharedSchemaVersion;
    return upgrade;
}

}  // namespace orlo::records
