// Items.Find on every key field the add-in searches, Add with the folder's
// default form or a named class, and walking a folder with SetColumns.

#include "GarbledFile.h"
#include "HostFixture.h"
#include "host/HostErrors.h"
#include "host/Inspector.h"
#include "host/ItemKeys.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::host::test {
namespace {

class FindTest : public HostFixture {};

// Which keys are equal is the store's find key's (tested with it); here the
// fields and the filter's forms.
TEST_F(FindTest, KeysFindByTheirFieldInEveryFormOfTheFilter) {
    savedPatient(QString());  // a new item without a key is never found
    const std::shared_ptr<Item> p[] = {savedPatient(u"12"_s), savedPatient(u"120"_s, u"Leeds"_s)};
    const std::shared_ptr<Item> a[] = {savedAppointment(u"5001"_s), savedAppointment(u"5002"_s)};
    for (const auto& [name, minute] : {std::pair{u"Start"_s, 0}, std::pair{u"End"_s, 30}}) {
        const QDateTime at = naiveDateTime(QDate(2026, 5, 2), QTime(14, minute));
        ASSERT_TRUE(a[1]->setUserProperty(name, Variant(at)).ok());
    }
    ASSERT_TRUE(a[1]->Save().ok());
    const struct {
        bool patient;
        const char* filter;
        int found;  // index in p or a; -1 for none
    } cases[] = {
        {true, "[PatientID] = 12", 0},
        {true, "[Last Name] = \"leeds\"", 1},
        {true, "[PatientID] = 120", 1},
        {true, "[Customer ID] = 120", 1},
        {true, "[Customer ID] = '12'", 0},
        // Misses: a prefix, another number, an empty key.
        {true, "[PatientID] = 1", -1},
        {true, "[Customer ID] = 13", -1},
        {true, "[PatientID] = ", -1},
        {true, "[PatientID] = ''", -1},
        {false, "[ScheduleID] = 5002", 1},
        {false, "[Mileage] = 5001", 0},
        {false, "[Mileage] = 500", -1},
        // Both were saved at the pinned time; the first in folder order wins.
        {false, "[Created] = '15/03/2026 09:30:00'", 0},
        {false, "[Modified] = '2026-03-15 09:30:00'", 0},
        {false, "[Start] = '02/05/2026 14:00:00'", 1},
        {false, "[End] = '02/05/2026 14:30:00'", 1},
        {false, "[Start] = '02/05/2026 14:30:00'", -1},
    };
    for (const auto& c : cases) {
        auto found = (c.patient ? patients : scheduler)->Items()->Find(QString::fromUtf8(c.filter));
        ASSERT_TRUE(found.ok()) << c.filter;
        EXPECT_EQ(*found, c.found < 0 ? nullptr : (c.patient ? p : a)[c.found]) << c.filter;
    }
    // Malformed filters are errors, not misses.
    for (const char16_t* bad :
         {u"PatientID = 12", u"[PatientID] 12", u"[PatientID = 12", u"[] = 12",
          u"[PatientID] = abc", u"[PatientID] = 'open", u"[PatientID] = 'a'b'", u""}) {
        EXPECT_EQ(orlo::test::failure(patients->Items()->Find(qs(bad))), err::kCannotParseCondition)
            << qs(bad).toStdString();
    }
}

// The keys read in one pass answer as Find does (which values are equal is
// the find key's): the property's values across the folder, blanks never.
TEST_F(FindTest, KeysReadOnceAnswerAsFindDoes) {
    savedPatient(QString());
    savedPatient(u"012"_s, u"Leeds"_s);
    savedPatient(u"120"_s);
    auto keys = ItemKeys::read(*patients, u"PatientID"_s);
    auto names = ItemKeys::read(*patients, u"Last Name"_s);
    ASSERT_TRUE(keys.ok() && names.ok());
    const struct {
        const ItemKeys& keys;
        Variant value;
        bool found;
    } cases[] = {
        {*keys, Variant(qint64(12)), true},
        {*keys, Variant(qint64(1)), false},
        {*keys, Variant(QString()), false},
        {*names, Variant(u"LEEDS"_s), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.keys.contains(c.value), c.found)
            << c.value.text(Locale::unitedKingdom()).toStdString();
    }
}

TEST_F(FindTest, AddMakesTheFolderDefaultOrTheNamedClassUnsaved) {
    auto contact = newItem(patients);
    EXPECT_EQ(contact->MessageClass(), u"IPM.Contact.Patient"_s);
    EXPECT_EQ(*patients->Items()->Count(), 0);  // not stored until saved
    auto appointment = newItem(scheduler);
    EXPECT_EQ(appointment->MessageClass(), u"IPM.Appointment.Scheduler"_s);
    EXPECT_TRUE(appointment->hasProperty(u"RecallDBFormatted"_s));

    auto top = ns->Folders()->Item(qs(kTop));
    auto plain = (*top)->Folders()->Add(u"Contacts"_s, FolderKind::Contacts);
    ASSERT_TRUE(plain.ok());
    auto standard = (*plain)->Items()->Add();
    ASSERT_TRUE(standard.ok());
    EXPECT_EQ((*standard)->MessageClass(), u"IPM.Contact"_s);
    EXPECT_FALSE((*standard)->hasProperty(u"PatientID"_s));
    // A standard contact has no custom pages at all.
    EXPECT_EQ((*standard)->GetInspector()->ModifiedFormPages(u"General"_s).error().number,
              err::kUnknownFormControl);
    auto patient = (*plain)->Items()->Add(u"IPM.Contact.Patient"_s);
    ASSERT_TRUE(patient.ok());
    EXPECT_TRUE((*patient)->hasProperty(u"PatientID"_s));
    ASSERT_TRUE((*patient)->Save().ok());
    EXPECT_EQ(*(*plain)->Items()->Count(), 1);
}

TEST_F(FindTest, SetColumnsWalksInFolderOrderAndItemByIndexFollowsTheFolder) {
    std::vector<std::shared_ptr<Item>> made;
    for (const char16_t* id : {u"30", u"10", u"20"}) {
        made.push_back(savedAppointment(qs(id)));
    }
    auto empty = newItem(scheduler);
    ASSERT_TRUE(empty->Save().ok());
    auto held = made[1];
    made.clear();

    auto items = scheduler->Items();
    items->SetColumns(u"Mileage"_s);
    QStringList seen;
    std::shared_ptr<Item> heldSeen;
    for (const std::shared_ptr<Item>& item : *items) {
        ASSERT_NE(item, nullptr);
        seen << text(item, u"Mileage"_s);
        if (item == held) {
            heldSeen = item;
        }
    }
    EXPECT_EQ(seen, (QStringList{u"30"_s, u"10"_s, u"20"_s, QString()}));
    EXPECT_EQ(heldSeen, held);

    // An item met through the columns loads the rest when asked, and saves whole.
    auto first = items->GetFirst();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(text(first, u"ScheduleID"_s), u"30"_s);
    ASSERT_TRUE(first->setUserProperty(u"REASON"_s, Variant(u"Review")).ok());
    ASSERT_TRUE(first->Save().ok());
    EXPECT_EQ(*scheduler->Items()->Find(u"[REASON] = 'Review'"_s), first);
    EXPECT_EQ(items->GetNext(), held);

    // Item by index and Count follow the folder as items come and go.
    auto a = savedPatient(u"1"_s);
    auto list = patients->Items();
    EXPECT_EQ(*list->Item(1), a);
    auto b = savedPatient(u"2"_s);
    EXPECT_EQ(*list->Count(), 2);
    EXPECT_EQ(*list->Item(2), b);
    EXPECT_FALSE(list->Item(3).ok());
    EXPECT_FALSE(list->Item(0).ok());
    ASSERT_TRUE(a->Delete().ok());
    EXPECT_EQ(*list->Item(1), b);
    EXPECT_FALSE(list->Item(2).ok());
}

// A store whose file cannot be read answers Find and Count with its error:
// taken for "no such item", it would let the add-in add the patient again.
TEST_F(FindTest, AnUnreadableStoreAnswersFindAndCountWithAnErrorNotNothing) {
    for (int i = 0; i < 40; ++i) {
        savedPatient(QString::number(i), QString(200, QChar(u'a' + i % 26)));
    }
    ASSERT_GT(orlo::test::garbleAfterFirstPage(m_path).size(), 8192);

    const auto find = patients->Items()->Find(u"[PatientID] = 12"_s);
    ASSERT_FALSE(find.ok());
    EXPECT_EQ(find.error().number, orlo::err::kProviderFailure);
    EXPECT_TRUE(find.error().description.startsWith(u"The item store file \""_s + m_path +
                                                    u"\" is damaged"_s))
        << find.error().description.toStdString();
    EXPECT_EQ(orlo::test::failure(patients->Items()->Count()), orlo::err::kProviderFailure);
}

}  // namespace
}  // namespace orlo::host::test
