// The item store on real files: folders, items, every kind of value, lazy
// loads, columns and Find, across closing and reopening the file.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <limits>

#include "TestSupport.h"
#include "host/store/StoreFile.h"

using namespace orlo;
using namespace orlo::host;

namespace {

struct Tree {
    FolderId top = 0;
    FolderId patients = 0;
    FolderId scheduler = 0;
};

class StoreFileTest : public ::testing::Test {
protected:
    QString storePath() const { return m_dir.filePath(QStringLiteral("test.pst")); }

    std::unique_ptr<StoreFile> makeStore(Tree* tree) {
        auto created = StoreFile::create(storePath(), QStringLiteral("Orlo Networked V.1"));
        EXPECT_TRUE(created.ok()) << created.error().description.toStdString();
        std::unique_ptr<StoreFile> store = std::move(created).value();
        tree->top = store->topFolder();
        tree->patients =
            *store->createFolder(tree->top, QStringLiteral("Patients"), FolderKind::Contacts,
                                 QStringLiteral("IPM.Contact.Patient"));
        tree->scheduler =
            *store->createFolder(tree->top, QStringLiteral("Scheduler"), FolderKind::Calendar,
                                 QStringLiteral("IPM.Appointment.Scheduler"));
        return store;
    }

    std::unique_ptr<StoreFile> reopen() {
        auto opened = StoreFile::open(storePath());
        EXPECT_TRUE(opened.ok()) << opened.error().description.toStdString();
        return opened.ok() ? std::move(opened).value() : nullptr;
    }

    QTemporaryDir m_dir;
};

PropertyMap patient(const QString& id, const QString& last) {
    return {{QStringLiteral("PatientID"), id},
            {QStringLiteral("Customer ID"), id},
            {QStringLiteral("Last Name"), last}};
}

}  // namespace

TEST_F(StoreFileTest, FolderTreeSurvivesReopenAndRefusesDuplicates) {
    Tree t;
    auto store = makeStore(&t);
    EXPECT_EQ(store->createFolder(t.top, QStringLiteral("patients"), FolderKind::Contacts, {})
                  .error()
                  .number,
              err::kProviderFailure);
    EXPECT_FALSE(store->createFolder(12345, QStringLiteral("X"), FolderKind::Mail, {}).ok());
    EXPECT_FALSE(store->createFolder(t.top, QStringLiteral("  "), FolderKind::Mail, {}).ok());
    store.reset();

    store = reopen();
    ASSERT_TRUE(store);
    EXPECT_EQ(store->topFolder(), t.top);
    EXPECT_EQ(store->folder(t.top)->name, QStringLiteral("Orlo Networked V.1"));
    EXPECT_EQ(store->folder(t.top)->parent, 0);
    const std::vector<FolderInfo> subs = *store->subfolders(t.top);
    ASSERT_EQ(subs.size(), 2U);
    EXPECT_EQ(subs[0].name, QStringLiteral("Patients"));
    EXPECT_EQ(subs[0].kind, FolderKind::Contacts);
    EXPECT_EQ(subs[0].defaultMessageClass, QStringLiteral("IPM.Contact.Patient"));
    EXPECT_EQ(subs[1].name, QStringLiteral("Scheduler"));
    EXPECT_EQ(subs[1].kind, FolderKind::Calendar);
    EXPECT_EQ(subs[1].defaultMessageClass, QStringLiteral("IPM.Appointment.Scheduler"));
    EXPECT_TRUE(store->subfolders(t.patients)->empty());
    EXPECT_FALSE(store->folder(999).ok());
}

TEST_F(StoreFileTest, CreateNeverOverwritesAndOpenNamesAMissingFile) {
    Tree t;
    makeStore(&t).reset();
    const QByteArray before = test::readFile(storePath());
    auto again = StoreFile::create(storePath(), QStringLiteral("Other"));
    ASSERT_FALSE(again.ok());
    EXPECT_EQ(again.error().number, err::kProviderFailure);
    EXPECT_TRUE(again.error().description.contains(storePath()));
    EXPECT_EQ(test::readFile(storePath()), before);

    const QString missing = m_dir.filePath(QStringLiteral("none.pst"));
    auto opened = StoreFile::open(missing);
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.error().number, err::kProviderFailure);
    EXPECT_TRUE(opened.error().description.contains(missing));
    EXPECT_FALSE(QFile::exists(missing));

    auto inMissingDir = StoreFile::create(m_dir.filePath(QStringLiteral("no/such/dir.pst")), {});
    EXPECT_FALSE(inMissingDir.ok());
}

TEST_F(StoreFileTest, EveryKindOfValueReadsBackExactly) {
    Tree t;
    auto store = makeStore(&t);
    const QString lone = QString(QChar(0xD800)) + QStringLiteral("x");
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    // Filled one by one: GCC 12 with the sanitizers misreads one big list.
    PropertyMap values;
    values[QStringLiteral("empty")] = Variant();
    values[QStringLiteral("null")] = Variant::null();
    values[QStringLiteral("text")] = Variant(QStringLiteral("Zoë 😀 ' \" \r\n"));
    values[QStringLiteral("blank")] = Variant(QString());
    values[QStringLiteral("lone surrogate")] = Variant(lone);
    values[QStringLiteral("nul")] = Variant(withNul);
    values[QStringLiteral("digits")] = Variant(QStringLiteral("012"));
    values[QStringLiteral("max")] = Variant(std::numeric_limits<qint64>::max());
    values[QStringLiteral("min")] = Variant(std::numeric_limits<qint64>::min());
    values[QStringLiteral("double")] = Variant(0.1);
    values[QStringLiteral("integral double")] = Variant(12.0);
    values[QStringLiteral("negative zero")] = Variant(-0.0);
    values[QStringLiteral("infinity")] = Variant(std::numeric_limits<double>::infinity());
    values[QStringLiteral("utc")] =
        Variant(QDateTime(QDate(2026, 3, 5), QTime(14, 30, 1, 250), Qt::UTC));
    values[QStringLiteral("offset")] = Variant(
        QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59, 999), Qt::OffsetFromUTC, -5 * 3600));
    values[QStringLiteral("local")] =
        Variant(QDateTime(QDate(2026, 1, 2), QTime(8, 0), Qt::LocalTime));
    values[QStringLiteral("true")] = Variant(true);
    values[QStringLiteral("false")] = Variant(false);
    const ItemId id = *store->insert(t.patients, QStringLiteral("IPM.Contact.Patient"), values);
    const ItemId nan =
        *store->insert(t.patients, QStringLiteral("IPM.Contact"),
                       {{QStringLiteral("nan"), std::numeric_limits<double>::quiet_NaN()}});
    store.reset();

    store = reopen();
    ASSERT_TRUE(store);
    const Result<ItemRecord> record = store->load(id);
    ASSERT_TRUE(record.ok());
    EXPECT_EQ(record->folder, t.patients);
    EXPECT_EQ(record->messageClass, QStringLiteral("IPM.Contact.Patient"));
    ASSERT_EQ(record->properties.size(), values.size());
    for (const auto& [name, value] : values) {
        const Variant& back = record->properties.at(name);
        EXPECT_EQ(back.type(), value.type()) << name.toStdString();
        EXPECT_EQ(back, value) << name.toStdString();
    }
    EXPECT_TRUE(std::signbit(*record->properties.at(QStringLiteral("negative zero")).asDouble()));
    EXPECT_EQ(record->properties.at(QStringLiteral("utc")).asDate()->timeSpec(), Qt::UTC);
    EXPECT_EQ(record->properties.at(QStringLiteral("offset")).asDate()->offsetFromUtc(), -5 * 3600);
    const Variant nanBack = store->load(nan)->properties.at(QStringLiteral("nan"));
    ASSERT_EQ(nanBack.type(), Variant::Type::Double);
    EXPECT_TRUE(std::isnan(*nanBack.asDouble()));
}

TEST_F(StoreFileTest, UpdateReplacesThePropertySetAndRemoveDeletes) {
    Tree t;
    auto store = makeStore(&t);
    const ItemId a = *store->insert(t.patients, QStringLiteral("IPM.Contact.Patient"),
                                    patient(QStringLiteral("1"), QStringLiteral("Ames")));
    const ItemId b = *store->insert(t.patients, QStringLiteral("IPM.Contact.Patient"),
                                    patient(QStringLiteral("2"), QStringLiteral("Best")));
    ASSERT_TRUE(store
                    ->update(a, {{QStringLiteral("PatientID"), QStringLiteral("7")},
                                 {QStringLiteral("Notes"), QStringLiteral("moved")}})
                    .ok());
    EXPECT_FALSE(store->update(9999, {}).ok());
    ASSERT_TRUE(store->remove(b).ok());
    EXPECT_FALSE(store->remove(b).ok());
    store = reopen();
    ASSERT_TRUE(store);

    const PropertyMap expected = {{QStringLiteral("PatientID"), QStringLiteral("7")},
                                  {QStringLiteral("Notes"), QStringLiteral("moved")}};
    EXPECT_EQ(store->load(a)->properties, expected);
    EXPECT_EQ(store->load(b).error().number, err::kProviderFailure);
    EXPECT_EQ(*store->itemIds(t.patients), std::vector<ItemId>{a});
    EXPECT_EQ(*store->itemCount(t.patients), 1);
    EXPECT_EQ(*store->findFirst(t.patients, QStringLiteral("Customer ID"), 1), std::nullopt);
    EXPECT_EQ(*store->findFirst(t.patients, QStringLiteral("PatientID"), 7), a);
    EXPECT_EQ(*store->findFirst(t.patients, QStringLiteral("PatientID"), 2), std::nullopt);
    EXPECT_TRUE(store->checkIntegrity().ok());
    EXPECT_FALSE(store->insert(4242, QStringLiteral("IPM.Contact"), {}).ok());
}

TEST_F(StoreFileTest, LoadOnlyNamedPropertiesAndStreamOneColumnInFolderOrder) {
    Tree t;
    auto store = makeStore(&t);
    std::vector<ItemId> ids;
    for (int i = 0; i < 5; ++i) {
        PropertyMap p = {{QStringLiteral("ScheduleID"), QString::number(100 + i)},
                         {QStringLiteral("LNAME"), QStringLiteral("N%1").arg(i)}};
        if (i != 3) {
            p[QStringLiteral("Mileage")] = QString::number(100 + i);
        }
        ids.push_back(*store->insert(t.scheduler, QStringLiteral("IPM.Appointment.Scheduler"), p));
    }
    store
        ->insert(t.patients, QStringLiteral("IPM.Contact.Patient"),
                 {{QStringLiteral("Mileage"), QStringLiteral("elsewhere")}})
        .value();

    const Result<ItemRecord> some =
        store->load(ids[1], QStringList{QStringLiteral("LNAME"), QStringLiteral("Nope")});
    ASSERT_TRUE(some.ok());
    EXPECT_EQ(some->properties, (PropertyMap{{QStringLiteral("LNAME"), QStringLiteral("N1")}}));
    EXPECT_EQ(some->messageClass, QStringLiteral("IPM.Appointment.Scheduler"));

    const auto mileage = *store->column(t.scheduler, QStringLiteral("Mileage"));
    ASSERT_EQ(mileage.size(), 5U);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(mileage[i].first, ids[i]);
        EXPECT_EQ(mileage[i].second, i == 3 ? Variant() : Variant(QString::number(100 + i)));
    }
    const auto never = *store->column(t.scheduler, QStringLiteral("Never Stored"));
    ASSERT_EQ(never.size(), 5U);
    EXPECT_TRUE(never[0].second.isEmpty());
    EXPECT_TRUE(store->column(t.top, QStringLiteral("Mileage"))->empty());
}

// Which values are equal is the find key's (tested with it); here the
// store's index: per folder and property, confirmed in full, kept current.
TEST_F(StoreFileTest, FindComparesNumbersByValueAndTextWithoutCase) {
    Tree t;
    auto store = makeStore(&t);
    const QString cls = QStringLiteral("IPM.Contact.Patient");
    const ItemId other = *store->insert(t.scheduler, cls, patient(QStringLiteral("12"), {}));
    const ItemId first = *store->insert(t.patients, cls, patient(QStringLiteral("012"), {}));
    const ItemId second = *store->insert(t.patients, cls, patient(QStringLiteral("12"), {}));
    const ItemId name = *store->insert(t.patients, cls, patient({}, QStringLiteral("MacDonald")));
    const QString longText = QString(200, u'x');
    const ItemId longA = *store->insert(
        t.patients, cls, {{QStringLiteral("Notes"), QString(longText + QStringLiteral("A"))}});
    const ItemId longB = *store->insert(
        t.patients, cls, {{QStringLiteral("Notes"), QString(longText + QStringLiteral("b"))}});
    const ItemId prefix =
        *store->insert(t.patients, cls, {{QStringLiteral("Notes"), longText.left(64)}});
    const QString id = QStringLiteral("PatientID");

    EXPECT_EQ(*store->findFirst(t.patients, id, QStringLiteral("12")), first);
    EXPECT_EQ(*store->findFirst(t.patients, id, 12), first);
    EXPECT_EQ(*store->findFirst(t.scheduler, id, 12), other);
    EXPECT_EQ(*store->findFirst(t.patients, id, QStringLiteral("1")), std::nullopt);
    EXPECT_EQ(*store->findFirst(t.patients, QStringLiteral("Customer ID"), 12), first);
    EXPECT_EQ(
        *store->findFirst(t.patients, QStringLiteral("Last Name"), QStringLiteral("MACDONALD")),
        name);
    EXPECT_EQ(
        *store->findFirst(t.patients, QStringLiteral("last name"), QStringLiteral("MacDonald")),
        std::nullopt);
    // Blank values find nothing, even items whose property is blank.
    EXPECT_EQ(*store->findFirst(t.patients, id, QString()), std::nullopt);
    EXPECT_EQ(*store->findFirst(t.patients, id, Variant()), std::nullopt);
    EXPECT_EQ(*store->findFirst(t.patients, id, Variant::null()), std::nullopt);
    // Long texts: the index holds a cut key; the match is confirmed in full.
    EXPECT_EQ(*store->findFirst(t.patients, QStringLiteral("Notes"),
                                QString(longText + QStringLiteral("B"))),
              longB);
    EXPECT_EQ(*store->findFirst(t.patients, QStringLiteral("Notes"),
                                QString(longText + QStringLiteral("a"))),
              longA);
    EXPECT_EQ(*store->findFirst(t.patients, QStringLiteral("Notes"), longText.left(64)), prefix);
    EXPECT_EQ(*store->findFirst(t.patients, QStringLiteral("Notes"), longText), std::nullopt);

    ASSERT_TRUE(store->remove(first).ok());
    EXPECT_EQ(*store->findFirst(t.patients, id, 12), second);
    ASSERT_TRUE(store->update(second, patient(QStringLiteral("99"), {})).ok());
    EXPECT_EQ(*store->findFirst(t.patients, id, 12), std::nullopt);
    EXPECT_EQ(*store->findFirst(t.patients, id, 99), second);
}

TEST_F(StoreFileTest, InsertManyKeepsOrderAndIsAllOrNothing) {
    Tree t;
    auto store = makeStore(&t);
    std::vector<PropertyMap> batch;
    for (int i = 0; i < 100; ++i) {
        batch.push_back(patient(QString::number(i), QStringLiteral("L%1").arg(i)));
    }
    const Result<std::vector<ItemId>> ids =
        store->insertMany(t.patients, QStringLiteral("IPM.Contact.Patient"), batch);
    ASSERT_TRUE(ids.ok());
    EXPECT_EQ(*ids, *store->itemIds(t.patients));
    EXPECT_EQ(*store->findFirst(t.patients, QStringLiteral("PatientID"), 42), (*ids)[42]);
    EXPECT_FALSE(store->insertMany(777, QStringLiteral("IPM.Contact"), batch).ok());
    EXPECT_EQ(*store->itemCount(t.patients), 100);
}
