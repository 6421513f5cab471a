// Items.Find on every key field the add-in searches, Add with the folder's
// default form or a named class, and walking a folder with SetColumns.

#include "HostFixture.h"
#include "host/HostErrors.h"
#include "host/ItemKeys.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::host::test {
namespace {

class FindTest : public HostFixture {
protected:
    std::shared_ptr<Item> find(const std::shared_ptr<MAPIFolder>& f, const QString& filter) {
        auto r = f->Items()->Find(filter);
        EXPECT_TRUE(r.ok()) << filter.toStdString();
        return r.ok() ? *r : nullptr;
    }
};

// Which keys are equal is the store's find key's (tested with it); here the
// fields and the filter's forms.
TEST_F(FindTest, PatientKeysFindByUserPropertyAndByCustomerId) {
    savedPatient(QString());  // a new item without a key is never found
    auto p12 = savedPatient(u"12"_s);
    auto p120 = savedPatient(u"120"_s, u"Leeds"_s);
    EXPECT_EQ(find(patients, u"[PatientID] = 12"_s), p12);
    EXPECT_EQ(find(patients, u"[Last Name] = \"leeds\""_s), p120);
    EXPECT_EQ(find(patients, u"[PatientID] = 120"_s), p120);
    EXPECT_EQ(find(patients, u"[Customer ID] = 120"_s), p120);
    EXPECT_EQ(find(patients, u"[Customer ID] = '12'"_s), p12);
    // Misses: a prefix, another number, an empty key.
    EXPECT_EQ(find(patients, u"[PatientID] = 1"_s), nullptr);
    EXPECT_EQ(find(patients, u"[Customer ID] = 13"_s), nullptr);
    EXPECT_EQ(find(patients, u"[PatientID] = "_s), nullptr);
    EXPECT_EQ(find(patients, u"[PatientID] = ''"_s), nullptr);
    EXPECT_EQ(find(patients, u"[Customer ID] = "_s), nullptr);
}

TEST_F(FindTest, AppointmentKeysFindByScheduleIdMileageAndDates) {
    auto a = savedAppointment(u"5001"_s);
    auto b = savedAppointment(u"5002"_s);
    EXPECT_EQ(find(scheduler, u"[ScheduleID] = 5002"_s), b);
    EXPECT_EQ(find(scheduler, u"[Mileage] = 5001"_s), a);
    EXPECT_EQ(find(scheduler, u"[Mileage] = 500"_s), nullptr);
    EXPECT_EQ(find(scheduler, u"[Mileage] = "_s), nullptr);
    // Both were saved at the pinned time; the first in folder order wins.
    EXPECT_EQ(find(scheduler, u"[Created] = '15/03/2026 09:30:00'"_s), a);
    EXPECT_EQ(find(scheduler, u"[Modified] = '2026-03-15 09:30:00'"_s), a);
    ASSERT_TRUE(
        b->setUserProperty(u"Start"_s, Variant(naiveDateTime(QDate(2026, 5, 2), QTime(14, 0))))
            .ok());
    ASSERT_TRUE(
        b->setUserProperty(u"End"_s, Variant(naiveDateTime(QDate(2026, 5, 2), QTime(14, 30))))
            .ok());
    ASSERT_TRUE(b->Save().ok());
    EXPECT_EQ(find(scheduler, u"[Start] = '02/05/2026 14:00:00'"_s), b);
    EXPECT_EQ(find(scheduler, u"[End] = '02/05/2026 14:30:00'"_s), b);
    EXPECT_EQ(find(scheduler, u"[Start] = '02/05/2026 14:30:00'"_s), nullptr);
}

// The keys read in one pass answer as Find does: numbers by value, text
// without case, blanks never.
TEST_F(FindTest, KeysReadOnceAnswerAsFindDoes) {
    savedPatient(QString());
    savedPatient(u"012"_s, u"Leeds"_s);
    savedPatient(u"120"_s);
    auto keys = ItemKeys::read(*patients, u"PatientID"_s);
    auto names = ItemKeys::read(*patients, u"Last Name"_s);
    ASSERT_TRUE(keys.ok() && names.ok());
    const struct {
        Variant value;
        bool found;
    } cases[] = {
        {Variant(qint64(12)), true},  {Variant(u"12"_s), true},     {Variant(12.0), true},
        {Variant(qint64(120)), true}, {Variant(qint64(1)), false},  {Variant(u"0012.0"_s), true},
        {Variant(QString()), false},  {Variant(u"leeds"_s), false}, {Variant(), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(keys->contains(c.value), c.found)
            << c.value.text(Locale::unitedKingdom()).toStdString();
    }
    EXPECT_TRUE(names->contains(Variant(u"LEEDS"_s)));
    EXPECT_FALSE(names->contains(Variant(u"Leed"_s)));
}

TEST_F(FindTest, MalformedFiltersAreErrors) {
    for (const char16_t* bad :
         {u"PatientID = 12", u"[PatientID] 12", u"[PatientID = 12", u"[] = 12",
          u"[PatientID] = abc", u"[PatientID] = 'open", u"[PatientID] = 'a'b'", u""}) {
        auto r = patients->Items()->Find(qs(bad));
        ASSERT_FALSE(r.ok()) << qs(bad).toStdString();
        EXPECT_EQ(r.error().number, err::kCannotParseCondition);
    }
}

TEST_F(FindTest, AddMakesTheFolderDefaultOrTheNamedClassUnsaved) {
    auto contact = newItem(patients);
    EXPECT_EQ(contact->MessageClass(), qs(records::kPatientMessageClass));
    EXPECT_EQ(*patients->Items()->Count(), 0);  // not stored until saved
    auto appointment = newItem(scheduler);
    EXPECT_EQ(appointment->MessageClass(), qs(records::kAppointmentMessageClass));
    EXPECT_TRUE(appointment->hasProperty(u"RecallDBFormatted"_s));

    auto top = ns->Folders()->Item(qs(kTop));
    auto plain = (*top)->Folders()->Add(u"Contacts"_s, FolderKind::Contacts);
    ASSERT_TRUE(plain.ok());
    auto standard = (*plain)->Items()->Add();
    ASSERT_TRUE(standard.ok());
    EXPECT_EQ((*standard)->MessageClass(), u"IPM.Contact"_s);
    EXPECT_FALSE((*standard)->hasProperty(u"PatientID"_s));
    auto patient = (*plain)->Items()->Add(u"IPM.Contact.Patient"_s);
    ASSERT_TRUE(patient.ok());
    EXPECT_TRUE((*patient)->hasProperty(u"PatientID"_s));
    ASSERT_TRUE((*patient)->Save().ok());
    EXPECT_EQ(*(*plain)->Items()->Count(), 1);
}

TEST_F(FindTest, SetColumnsWalksInFolderOrderWithLiveObjects) {
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
    EXPECT_EQ(find(scheduler, u"[REASON] = 'Review'"_s), first);
    EXPECT_EQ(items->GetNext(), held);
}

TEST_F(FindTest, ItemByIndexAndCountFollowTheFolderAsItemsComeAndGo) {
    auto a = savedPatient(u"1"_s);
    auto items = patients->Items();
    EXPECT_EQ(*items->Item(1), a);
    auto b = savedPatient(u"2"_s);
    EXPECT_EQ(*items->Count(), 2);
    EXPECT_EQ(*items->Item(2), b);
    EXPECT_FALSE(items->Item(3).ok());
    EXPECT_FALSE(items->Item(0).ok());
    ASSERT_TRUE(a->Delete().ok());
    EXPECT_EQ(*items->Item(1), b);
    EXPECT_FALSE(items->Item(2).ok());
}

// A store whose file cannot be read answers Find and Count with its error:
// taken for "no such item", it would let the add-in add the patient again.
TEST_F(FindTest, AnUnreadableStoreAnswersFindAndCountWithAnErrorNotNothing) {
    for (int i = 0; i < 40; ++i) {
        savedPatient(QString::number(i), QString(200, QChar(u'a' + i % 26)));
    }
    // Everything after the first page is overwritten behind the open store;
    // the changed header tells SQLite to read the file again.
    QByteArray bytes = orlo::test::readFile(m_path);
    ASSERT_GT(bytes.size(), 8192);
    for (qsizetype i = 4096; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 7919) & 0xff);
    }
    bytes[27] = static_cast<char>(bytes[27] + 1);  // the file change counter
    orlo::test::writeFile(m_path, bytes);

    const auto find = patients->Items()->Find(u"[PatientID] = 12"_s);
    ASSERT_FALSE(find.ok());
    EXPECT_EQ(find.error().number, orlo::err::kProviderFailure);
    EXPECT_TRUE(find.error().description.startsWith(u"The item store file \""_s + m_path +
                                                    u"\" is damaged"_s))
        << find.error().description.toStdString();
    const auto count = patients->Items()->Count();
    ASSERT_FALSE(count.ok());
    EXPECT_EQ(count.error().number, orlo::err::kProviderFailure);
}

}  // namespace
}  // namespace orlo::host::test
