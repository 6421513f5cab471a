// The item store on real files: folders, items, every kind of value, lazy
// loads, columns and Find, across closing and reopening the file.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QThread>
#include <cmath>
#include <limits>

#include "TestSupport.h"
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

}  // namespace

TEST_F(StoreFileTest, FolderTreeSurvivesReopenRefusesDuplicatesAndIsNeverOverwritten) {
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
}

TEST_F(StoreFileTest, EveryKindOfValueReadsBackExactly) {
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
}

TEST_F(StoreFileTest, UpdateReplacesThePropertySetAndRemoveDeletes) {
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

TEST_F(StoreFileTest, LoadOnlyNamedPropertiesAndStreamOneColumnInFolderOrder) {
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
TEST_F(StoreFileTest, FindComparesNumbersByValueAndTextWithoutCase) {
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
