// The item store on real files: folders, items, every kind of value, lazy
// loads, columns and Find, across closing and reopening the file.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QThread>
#include <cmath>
#include <limits>

#include <sqlite3.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QTextStream>
#include <map>
#include "GarbledFile.h"
#include "TestSupport.h"
#include "host/store/FindKey.h"
#include "host/store/StoreFile.h"
#include "platform/core/Locale.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace orlo::host;

namespace {

struct Tree {
    FolderId top = 0;
    FolderId patients = 0;
    FolderId scheduler = 0;
};

// Every case starts from a store with the add-in's two folders.
class StoreFileTest : public ::testing::Test {
protected:
    void SetUp() override { store = makeStore(&t); }

    QString storePath() const { return m_dir.filePath(u"test.pst"_s); }

    std::unique_ptr<StoreFile> makeStore(Tree* tree) {
        auto created = StoreFile::create(storePath(), u"Orlo Networked V.1"_s);
        EXPECT_TRUE(created.ok()) << created.error().description.toStdString();
        std::unique_ptr<StoreFile> made = std::move(created).value();
        tree->top = made->topFolder();
        tree->patients = *made->createFolder(tree->top, u"Patients"_s, FolderKind::Contacts,
                                             u"IPM.Contact.Patient"_s);
        tree->scheduler = *made->createFolder(tree->top, u"Scheduler"_s, FolderKind::Calendar,
                                              u"IPM.Appointment.Scheduler"_s);
        return made;
    }

    std::unique_ptr<StoreFile> reopen() {
        auto opened = StoreFile::open(storePath());
        EXPECT_TRUE(opened.ok()) << opened.error().description.toStdString();
        return opened.ok() ? std::move(opened).value() : nullptr;
    }

    QTemporaryDir m_dir;
    Tree t;
    std::unique_ptr<StoreFile> store;
};

PropertyMap patient(const QString& id, const QString& last) {
    return {{u"PatientID"_s, id}, {u"Customer ID"_s, id}, {u"Last Name"_s, last}};
}

QString keyOf(const Variant& v) {
    const auto k = FindKey::of(v);
    return k ? k->text : u"<none>"_s;
}

class StoreDamageTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    // A store big enough to span many pages.
    QString makeStore(const char* name) {
        const QString p = path(name);
        auto store = StoreFile::create(p, u"Top"_s).value();
        const FolderId f =
            *store->createFolder(store->topFolder(), u"Patients"_s, FolderKind::Contacts, {});
        std::vector<PropertyMap> items;
        for (int i = 0; i < 2000; ++i) {
            items.push_back({{u"PatientID"_s, QString::number(i)},
                             {u"Notes"_s, QString(100, QChar(u'a' + i % 26))}});
        }
        EXPECT_TRUE(store->insertMany(f, u"IPM.Contact"_s, items).ok());
        return p;
    }

    // Opens `p`, expects the refusal to name the file and say `what`, and
    // the file to be unchanged.
    void expectRefused(const QString& p, const QString& what) {
        const QByteArray before = test::readFile(p);
        auto opened = StoreFile::open(p);
        ASSERT_EQ(test::failure(opened), err::kProviderFailure);
        EXPECT_TRUE(opened.error().description.contains(QLatin1Char('"') + p + QLatin1Char('"')))
            << opened.error().description.toStdString();
        EXPECT_TRUE(opened.error().description.contains(what))
            << opened.error().description.toStdString();
        EXPECT_EQ(test::readFile(p), before);
        EXPECT_FALSE(QFile::exists(p + u"-journal"_s));
    }

    QTemporaryDir m_dir;
};

constexpr char kWriterVariable[] = "ORLO_STORE_WRITER";
constexpr int kItems = 6;
constexpr int kRounds = 4;

// Version `v` of item `i`: how many properties and what they hold depend on
// the version, so a half-written save would show.
PropertyMap version(int i, qint64 v) {
    PropertyMap p = {
        {u"Version"_s, v},
        {u"Key"_s, QString::number(i * 1000000 + v)},
        {u"Text"_s, u"item %1 version %2;"_s.arg(i).arg(v).repeated(300)},
        {u"Half"_s, static_cast<double>(v) / 2},
    };
    for (qint64 k = 0; k < v % 7; ++k) {
        p[u"Extra%1"_s.arg(k)] = v;
    }
    return p;
}

std::map<int, qint64> parseSaved(const QByteArray& output) {
    std::map<int, qint64> saved;
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> f = line.trimmed().split(' ');
        if (f.size() == 3 && f[0] == "saved") {
            saved[f[1].toInt()] = f[2].toLongLong();
        }
    }
    return saved;
}

// The item's version, or -1 when it has none (a half-written save).
qint64 versionOf(const ItemRecord& item) {
    const auto it = item.properties.find(u"Version"_s);
    return it != item.properties.end() && it->second.asInteger() ? *it->second.asInteger() : -1;
}

}  // namespace

TEST_F(StoreFileTest, FolderTreeSurvivesReopenIsNeverOverwrittenAndUpdateAndRemoveWrite) {
    EXPECT_EQ(store->createFolder(t.top, u"patients"_s, FolderKind::Contacts, {}).error().number,
              err::kProviderFailure);
    EXPECT_FALSE(store->createFolder(12345, u"X"_s, FolderKind::Mail, {}).ok());
    EXPECT_FALSE(store->createFolder(t.top, u"  "_s, FolderKind::Mail, {}).ok());
    store.reset();
    // Create never overwrites; open names a missing file.
    const QByteArray before = test::readFile(storePath());
    auto again = StoreFile::create(storePath(), u"Other"_s);
    ASSERT_EQ(test::failure(again), err::kProviderFailure);
    EXPECT_TRUE(again.error().description.contains(storePath()));
    EXPECT_EQ(test::readFile(storePath()), before);

    const QString missing = m_dir.filePath(u"none.pst"_s);
    auto opened = StoreFile::open(missing);
    ASSERT_EQ(test::failure(opened), err::kProviderFailure);
    EXPECT_TRUE(opened.error().description.contains(missing));
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_FALSE(StoreFile::create(m_dir.filePath(u"no/such/dir.pst"_s), {}).ok());

    store = reopen();
    ASSERT_TRUE(store);
    EXPECT_EQ(store->topFolder(), t.top);
    EXPECT_EQ(store->folder(t.top)->name, u"Orlo Networked V.1"_s);
    EXPECT_EQ(store->folder(t.top)->parent, 0);
    QStringList subs;
    const auto folders = store->subfolders(t.top);
    for (const FolderInfo& f : *folders) {
        subs << u"%1 %2 %3"_s.arg(f.name)
                    .arg(int(f.kind == FolderKind::Calendar))
                    .arg(f.defaultMessageClass);
    }
    EXPECT_EQ(subs, (QStringList{u"Patients 0 IPM.Contact.Patient"_s,
                                 u"Scheduler 1 IPM.Appointment.Scheduler"_s}));
    EXPECT_TRUE(store->subfolders(t.patients)->empty());
    EXPECT_FALSE(store->folder(999).ok());
    // Update replaces the property set; remove deletes.
    const ItemId a =
        *store->insert(t.patients, u"IPM.Contact.Patient"_s, patient(u"1"_s, u"Ames"_s));
    const ItemId b =
        *store->insert(t.patients, u"IPM.Contact.Patient"_s, patient(u"2"_s, u"Best"_s));
    ASSERT_TRUE(store->update(a, {{u"PatientID"_s, u"7"_s}, {u"Notes"_s, u"moved"_s}}).ok());
    EXPECT_FALSE(store->update(9999, {}).ok());
    ASSERT_TRUE(store->remove(b).ok());
    EXPECT_FALSE(store->remove(b).ok());
    store = reopen();
    ASSERT_TRUE(store);

    const PropertyMap expected = {{u"PatientID"_s, u"7"_s}, {u"Notes"_s, u"moved"_s}};
    EXPECT_EQ(store->load(a)->properties, expected);
    EXPECT_EQ(store->load(b).error().number, err::kProviderFailure);
    EXPECT_EQ(*store->itemIds(t.patients), std::vector<ItemId>{a});
    EXPECT_EQ(*store->itemCount(t.patients), 1);
    EXPECT_EQ(*store->findFirst(t.patients, u"Customer ID"_s, 1), std::nullopt);
    EXPECT_EQ(*store->findFirst(t.patients, u"PatientID"_s, 7), a);
    EXPECT_EQ(*store->findFirst(t.patients, u"PatientID"_s, 2), std::nullopt);
    EXPECT_TRUE(store->checkIntegrity().ok());
    EXPECT_FALSE(store->insert(4242, u"IPM.Contact"_s, {}).ok());
}

TEST_F(StoreFileTest, EveryKindOfValueReadsBackExactlyAndNamedOnesAndColumnsLoadAlone) {
    const QString lone = QString(QChar(0xD800)) + u"x"_s;
    const QString withNul = u"a"_s + QChar(0) + u"b"_s;
    // Filled one by one: GCC 12 with the sanitizers misreads one big list.
    PropertyMap values;
    values[u"empty"_s] = Variant();
    values[u"null"_s] = Variant::null();
    values[u"text"_s] = Variant(u"Zoë 😀 ' \" \r\n"_s);
    values[u"blank"_s] = Variant(QString());
    values[u"lone surrogate"_s] = Variant(lone);
    values[u"nul"_s] = Variant(withNul);
    values[u"digits"_s] = Variant(u"012"_s);
    values[u"max"_s] = Variant(std::numeric_limits<qint64>::max());
    values[u"min"_s] = Variant(std::numeric_limits<qint64>::min());
    values[u"double"_s] = Variant(0.1);
    values[u"integral double"_s] = Variant(12.0);
    values[u"negative zero"_s] = Variant(-0.0);
    values[u"infinity"_s] = Variant(std::numeric_limits<double>::infinity());
    values[u"utc"_s] = Variant(QDateTime(QDate(2026, 3, 5), QTime(14, 30, 1, 250), Qt::UTC));
    values[u"offset"_s] = Variant(
        QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59, 999), Qt::OffsetFromUTC, -5 * 3600));
    values[u"local"_s] = Variant(QDateTime(QDate(2026, 1, 2), QTime(8, 0), Qt::LocalTime));
    values[u"true"_s] = Variant(true);
    values[u"false"_s] = Variant(false);
    const ItemId id = *store->insert(t.patients, u"IPM.Contact.Patient"_s, values);
    const ItemId nan = *store->insert(t.patients, u"IPM.Contact"_s,
                                      {{u"nan"_s, std::numeric_limits<double>::quiet_NaN()}});
    store.reset();

    store = reopen();
    ASSERT_TRUE(store);
    const Result<ItemRecord> record = store->load(id);
    ASSERT_TRUE(record.ok());
    EXPECT_EQ(record->folder, t.patients);
    EXPECT_EQ(record->messageClass, u"IPM.Contact.Patient"_s);
    ASSERT_EQ(record->properties.size(), values.size());
    for (const auto& [name, value] : values) {
        const Variant& back = record->properties.at(name);
        EXPECT_EQ(back.type(), value.type()) << name.toStdString();
        EXPECT_EQ(back, value) << name.toStdString();
    }
    EXPECT_TRUE(std::signbit(*record->properties.at(u"negative zero"_s).asDouble()));
    EXPECT_EQ(record->properties.at(u"utc"_s).asDate()->timeSpec(), Qt::UTC);
    EXPECT_EQ(record->properties.at(u"offset"_s).asDate()->offsetFromUtc(), -5 * 3600);
    const Variant nanBack = store->load(nan)->properties.at(u"nan"_s);
    ASSERT_EQ(nanBack.type(), Variant::Type::Double);
    EXPECT_TRUE(std::isnan(*nanBack.asDouble()));
    // Load only named properties, and stream one column in folder order.
    std::vector<ItemId> ids;
    for (int i = 0; i < 5; ++i) {
        PropertyMap p = {{u"ScheduleID"_s, QString::number(100 + i)},
                         {u"LNAME"_s, u"N%1"_s.arg(i)}};
        if (i != 3) {
            p[u"Mileage"_s] = QString::number(100 + i);
        }
        ids.push_back(*store->insert(t.scheduler, u"IPM.Appointment.Scheduler"_s, p));
    }
    store->insert(t.patients, u"IPM.Contact.Patient"_s, {{u"Mileage"_s, u"elsewhere"_s}}).value();

    const Result<ItemRecord> some = store->load(ids[1], QStringList{u"LNAME"_s, u"Nope"_s});
    ASSERT_TRUE(some.ok());
    EXPECT_EQ(some->properties, (PropertyMap{{u"LNAME"_s, u"N1"_s}}));
    EXPECT_EQ(some->messageClass, u"IPM.Appointment.Scheduler"_s);

    const auto mileage = *store->column(t.scheduler, u"Mileage"_s);
    ASSERT_EQ(mileage.size(), 5U);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(mileage[i].first, ids[i]);
        EXPECT_EQ(mileage[i].second, i == 3 ? Variant() : Variant(QString::number(100 + i)));
    }
    EXPECT_EQ(store->column(t.scheduler, u"Never Stored"_s)->at(4).second, Variant());
    EXPECT_TRUE(store->column(t.top, u"Mileage"_s)->empty());
}

// Which values are equal is the find key's (tested with it); here the
// store's index: per folder and property, confirmed in full, kept current.
TEST_F(StoreFileTest, FindComparesByTheFindKeyWhichMeetsNumbersFoldsCaseAndCutsLongKeys) {
    const QString cls = u"IPM.Contact.Patient"_s;
    const ItemId other = *store->insert(t.scheduler, cls, patient(u"12"_s, {}));
    const ItemId first = *store->insert(t.patients, cls, patient(u"012"_s, {}));
    const ItemId second = *store->insert(t.patients, cls, patient(u"12"_s, {}));
    const ItemId name = *store->insert(t.patients, cls, patient({}, u"MacDonald"_s));
    const QString longText = QString(200, u'x');
    const ItemId longA =
        *store->insert(t.patients, cls, {{u"Notes"_s, QString(longText + u"A"_s)}});
    const ItemId longB =
        *store->insert(t.patients, cls, {{u"Notes"_s, QString(longText + u"b"_s)}});
    const ItemId prefix = *store->insert(t.patients, cls, {{u"Notes"_s, longText.left(64)}});
    const QString id = u"PatientID"_s;
    const struct {
        FolderId folder;
        QString property;
        Variant value;
        std::optional<ItemId> found;
    } cases[] = {
        {t.patients, id, 12, first},
        {t.scheduler, id, 12, other},
        {t.patients, id, u"1"_s, std::nullopt},
        {t.patients, u"Customer ID"_s, 12, first},
        {t.patients, u"Last Name"_s, u"MACDONALD"_s, name},
        {t.patients, u"last name"_s, u"MacDonald"_s, std::nullopt},
        // Blank values find nothing, even items whose property is blank.
        {t.patients, id, QString(), std::nullopt},
        // Long texts: the index holds a cut key; the match is confirmed in full.
        {t.patients, u"Notes"_s, QString(longText + u"B"_s), longB},
        {t.patients, u"Notes"_s, QString(longText + u"a"_s), longA},
        {t.patients, u"Notes"_s, longText.left(64), prefix},
        {t.patients, u"Notes"_s, longText, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(*store->findFirst(c.folder, c.property, c.value), c.found)
            << c.property.toStdString() << " "
            << c.value.text(Locale::unitedKingdom()).toStdString();
    }

    ASSERT_TRUE(store->remove(first).ok());
    EXPECT_EQ(*store->findFirst(t.patients, id, 12), second);
    ASSERT_TRUE(store->update(second, patient(u"99"_s, {})).ok());
    EXPECT_EQ(*store->findFirst(t.patients, id, 12), std::nullopt);
    EXPECT_EQ(*store->findFirst(t.patients, id, 99), second);
    // The find key: numbers meet on one canonical text.
    EXPECT_EQ(keyOf(u"12"_s), u"12"_s);
    EXPECT_EQ(keyOf(u" 0012 "_s), u"12"_s);
    EXPECT_EQ(keyOf(u"+12"_s), u"12"_s);
    EXPECT_EQ(keyOf(u"-0"_s), u"0"_s);
    EXPECT_EQ(keyOf(u"000"_s), u"0"_s);
    EXPECT_EQ(keyOf(u"12.50"_s), u"12.5"_s);
    EXPECT_EQ(keyOf(u"12."_s), u"12"_s);
    EXPECT_EQ(keyOf(u".5"_s), u"0.5"_s);
    EXPECT_EQ(keyOf(12), u"12"_s);
    EXPECT_EQ(keyOf(-7), u"-7"_s);
    EXPECT_EQ(keyOf(12.5), u"12.5"_s);
    EXPECT_EQ(keyOf(-0.0), u"0"_s);
    EXPECT_EQ(keyOf(1e20), u"100000000000000000000"_s);
    // Longer than any 64-bit number: still exact.
    EXPECT_EQ(keyOf(u"000123456789012345678901234567890"_s), u"123456789012345678901234567890"_s);
    // Other values fold case or have no key.
    EXPECT_EQ(keyOf(u"MacDonald"_s), u"macdonald"_s);
    EXPECT_EQ(keyOf(u"STRASSE"_s), keyOf(u"strasse"_s));
    EXPECT_EQ(keyOf(u"12a"_s), u"12a"_s);
    EXPECT_EQ(keyOf(u"1 2"_s), u"1 2"_s);
    EXPECT_EQ(keyOf(u"1.2.3"_s), u"1.2.3"_s);
    EXPECT_EQ(keyOf(u"-"_s), u"-"_s);
    EXPECT_EQ(keyOf(u"."_s), u"."_s);
    EXPECT_EQ(keyOf(true), u"true"_s);
    EXPECT_EQ(keyOf(u"True"_s), u"true"_s);
    EXPECT_EQ(keyOf(QDateTime(QDate(2026, 3, 5), QTime(14, 30), Qt::UTC)),
              u"2026-03-05t14:30:00.000z"_s);
    EXPECT_EQ(keyOf(Variant()), u"<none>"_s);
    EXPECT_EQ(keyOf(Variant::null()), u"<none>"_s);
    EXPECT_EQ(keyOf(u"   "_s), u"<none>"_s);
    EXPECT_EQ(keyOf(std::numeric_limits<double>::infinity()), u"<none>"_s);
    EXPECT_EQ(keyOf(QDateTime()), u"<none>"_s);
    // Long keys are cut and never equal a whole key.
    const QString exact(FindKey::kMaxLength, u'a');
    const auto whole = FindKey::of(exact);
    ASSERT_TRUE(whole);
    EXPECT_FALSE(whole->truncated);
    const auto cut = FindKey::of(QString(exact + u"b"_s));
    ASSERT_TRUE(cut);
    EXPECT_TRUE(cut->truncated);
    EXPECT_NE(cut->text, whole->text);
    EXPECT_EQ(cut->text, FindKey::of(QString(exact + u"C"_s))->text);
    EXPECT_EQ(*FindKey::fullText(QString(exact + u"C"_s)), QString(exact + u"c"_s));
}

TEST_F(StoreFileTest, InsertManyKeepsOrderAndIsAllOrNothing) {
    std::vector<PropertyMap> batch;
    for (int i = 0; i < 100; ++i) {
        batch.push_back(patient(QString::number(i), u"L%1"_s.arg(i)));
    }
    const Result<std::vector<ItemId>> ids =
        store->insertMany(t.patients, u"IPM.Contact.Patient"_s, batch);
    ASSERT_TRUE(ids.ok());
    EXPECT_EQ(*ids, *store->itemIds(t.patients));
    EXPECT_EQ(*store->findFirst(t.patients, u"PatientID"_s, 42), (*ids)[42]);
    EXPECT_FALSE(store->insertMany(777, u"IPM.Contact"_s, batch).ok());
    EXPECT_EQ(*store->itemCount(t.patients), 100);
}

TEST_F(StoreFileTest, FillsWaitUnsyncedUntilTheNextOwnWriteOrCommitWritesThem) {
    // Another connection sees only what is committed to the file.
    auto reader = reopen();
    ASSERT_NE(reader, nullptr);
    const auto fill = [&](const QString& id) {
        store->beginFills();
        const bool done = store->insert(t.patients, u"IPM.Contact"_s, patient(id, u"Fill"_s)).ok();
        store->endFills();
        return done;
    };
    const auto onDisk = [&] { return *reader->itemCount(t.patients); };

    ASSERT_TRUE(fill(u"1"_s));
    EXPECT_EQ(*store->itemCount(t.patients), 1);  // listed at once
    EXPECT_EQ(onDisk(), 0);                       // not yet synced
    // A write of one's own carries the waiting fill with it.
    ASSERT_TRUE(store->insert(t.patients, u"IPM.Contact"_s, patient(u"2"_s, u"Own"_s)).ok());
    EXPECT_EQ(onDisk(), 2);
    // An own write that fails still leaves the fills on disk.
    ASSERT_TRUE(fill(u"3"_s));
    EXPECT_FALSE(store->insert(777, u"IPM.Contact"_s, patient(u"4"_s, u"Lost"_s)).ok());
    EXPECT_EQ(onDisk(), 3);
    // However old the group has grown, a fill does not sync it: whoever
    // fills commits it, outside the fill.
    QThread::msleep(210);
    ASSERT_TRUE(fill(u"5"_s));
    EXPECT_EQ(onDisk(), 3);
    ASSERT_TRUE(store->commitFills().ok());
    EXPECT_EQ(onDisk(), 4);
    // Fills left waiting are written when the store closes.
    ASSERT_TRUE(fill(u"6"_s));
    store.reset();
    EXPECT_EQ(onDisk(), 5);
}

// The normalised keys that Find compares: numbers by value, text by case.

// Files that are not sound stores: each gives a clear error naming the file,
// never a crash, and is left byte for byte as it was.

TEST_F(StoreDamageTest, ForeignNewerAndTruncatedFilesAreRefused) {
    const QString text = path("notes.pst");
    test::writeFile(text, QByteArray("This is a text file, not a store.\n").repeated(20));
    expectRefused(text, u"is not an item store"_s);

    const QString empty = path("empty.pst");
    test::writeFile(empty, {});
    expectRefused(empty, u"is not an item store"_s);

    const QString foreign = path("other.db");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(foreign.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE items(x); INSERT INTO items VALUES(1);", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    expectRefused(foreign, u"another program's database"_s);

    expectRefused(m_dir.path(), u"is not a file"_s);

    const QString newer = makeStore("newer.pst");
    QByteArray bytes = test::readFile(newer);
    bytes[63] = 9;  // user_version (offset 60, big-endian) = 9
    test::writeFile(newer, bytes);
    expectRefused(newer, u"has store version 9"_s);

    const QString cut = makeStore("cut.pst");
    bytes = test::readFile(cut);
    test::writeFile(cut, bytes.left(bytes.size() / 2));
    expectRefused(cut, u"is damaged (truncated"_s);

    test::writeFile(cut, bytes.left(60));
    expectRefused(cut, u"is not an item store"_s);
}

TEST_F(StoreDamageTest, GarbageInsideASoundHeaderGivesErrorsNotCrashes) {
    const QString p = makeStore("garbage.pst");
    auto opened = StoreFile::open(p);
    ASSERT_TRUE(opened.ok());
    const QByteArray bytes = test::garbleAfterFirstPage(p);  // behind the open store

    expectRefused(p, u"is damaged"_s);
    // The store opened before answers every read with an error naming the
    // file, never with an empty answer.
    const StoreFile& store = **opened;
    const auto errorOf = [](const auto& r) { return r.ok() ? Error() : r.error(); };
    const std::pair<const char*, Error> reads[] = {
        {"subfolders", errorOf(store.subfolders(store.topFolder()))},
        {"itemIds", errorOf(store.itemIds(2))},
        {"itemCount", errorOf(store.itemCount(2))},
        {"findFirst", errorOf(store.findFirst(2, u"PatientID"_s, 5))},
        {"column", errorOf(store.column(2, u"Notes"_s))},
        {"load", errorOf(store.load(1))},
        {"checkIntegrity", errorOf(store.checkIntegrity())},
    };
    for (const auto& [name, error] : reads) {
        EXPECT_EQ(error.number, err::kProviderFailure) << name;
        EXPECT_TRUE(error.description.contains(QLatin1Char('"') + p + QLatin1Char('"'))) << name;
    }
    EXPECT_EQ(test::readFile(p), bytes);
}

// A writer process killed in the middle of saving: the store opens again,
// passes its integrity check, and every item holds one complete version, no
// older than the last save the writer saw succeed.
//
// The writer is this test binary run again with ORLO_STORE_WRITER set to the
// store's path; it rewrites every item in turn with a higher version and
// prints "saved ITEM VERSION" after each save returns.

// The writer's body; skipped unless run as the writer.
TEST(StoreCrash, WriterChild) {
    const QString path = qEnvironmentVariable(kWriterVariable);
    if (path.isEmpty()) {
        GTEST_SKIP() << "runs only as the writer process of KilledWriterLeavesCompleteItems";
    }
    auto store = StoreFile::open(path).value();
    const FolderId folder = store->subfolders(store->topFolder())->front().id;
    const std::vector<ItemId> ids = *store->itemIds(folder);
    QTextStream out(stdout);
    QElapsedTimer clock;
    clock.start();
    qint64 v = versionOf(*store->load(ids[0]));
    while (clock.elapsed() < 60000) {  // the parent kills it long before
        ++v;
        for (int i = 0; i < kItems; ++i) {
            ASSERT_TRUE(store->update(ids[i], version(i, v)).ok());
            out << "saved " << i << ' ' << v << Qt::endl;
        }
    }
}

TEST(StoreCrash, KilledWriterLeavesCompleteItems) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"crash.pst"_s);
    std::vector<ItemId> ids;
    FolderId folder = 0;
    {
        auto store = StoreFile::create(path, u"Top"_s).value();
        folder = *store->createFolder(store->topFolder(), u"Items"_s, FolderKind::Mail, {});
        for (int i = 0; i < kItems; ++i) {
            ids.push_back(*store->insert(folder, u"IPM.Note"_s, version(i, 0)));
        }
    }
    std::map<int, qint64> confirmed;
    for (int round = 0; round < kRounds; ++round) {
        QProcess writer;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kWriterVariable), path);
        writer.setProcessEnvironment(env);
        writer.start(QCoreApplication::applicationFilePath(),
                     {u"--gtest_filter=StoreCrash.WriterChild"_s});
        ASSERT_TRUE(writer.waitForStarted());
        QByteArray output;
        const int wanted = 20 + round * 15;
        ASSERT_TRUE(test::waitFor(
            [&] {
                output += writer.readAllStandardOutput();
                return output.count("saved") >= wanted;
            },
            60000))
            << writer.readAllStandardError().toStdString();
        // Land the kill at a different point of a save each round.
        QElapsedTimer pause;
        pause.start();
        const int extraMs = static_cast<int>(QRandomGenerator::global()->bounded(15));
        while (pause.elapsed() < extraMs) {
        }
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(10000));
        output += writer.readAllStandardOutput();
        for (const auto& [i, v] : parseSaved(output)) {
            confirmed[i] = v;
        }

        auto opened = StoreFile::open(path);
        ASSERT_TRUE(opened.ok()) << opened.error().description.toStdString();
        const StoreFile& store = **opened;
        ASSERT_TRUE(store.checkIntegrity().ok());
        ASSERT_EQ(*store.itemIds(folder), ids);
        qint64 newest = 0;
        for (int i = 0; i < kItems; ++i) {
            const Result<ItemRecord> item = store.load(ids[i]);
            ASSERT_TRUE(item.ok());
            const qint64 v = versionOf(*item);
            EXPECT_EQ(item->properties, version(i, v)) << "item " << i << " version " << v;
            EXPECT_GE(v, confirmed[i]) << "a save the writer saw succeed was lost";
            EXPECT_LE(v, confirmed[i] + 1);
            EXPECT_EQ(*store.findFirst(folder, u"Key"_s, i * 1000000 + v), ids[i]);
            newest = std::max(newest, v);
        }
        // Every item is a whole version: the next writer continues from the
        // first item's, so bring them level.
        EXPECT_LE(newest - versionOf(*store.load(ids[kItems - 1])), 1);
    }
}
