// The patient list without a window: the quick search (names, telephone
// digits however the number was written, the patient no.), sorting by a
// column's kind of value, and following the folder's saves and deletions.

#include "TestDesk.h"
#include "TestSupport.h"
#include "app/PatientListModel.h"
#include "app/QuickSearch.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace orlo::desk;
using namespace orlo::desk::test;

namespace {

struct Patient {
    const char16_t* id;
    const char16_t* last;
    const char16_t* first;
    const char16_t* dob;
    const char16_t* home;
    const char16_t* work;
    const char16_t* mobile;
};

const Patient kPeople[] = {
    {u"9", u"Smith", u"Joan", u"02/11/1975", u"(01632) 960-123", u"", u""},
    {u"10", u"O'Brien", u"Sean", u"14/02/1990", u"", u"020 7946 0018", u"07700 900461"},
    {u"112", u"Smithers", u"Ann", u"30/06/1961", u"01632 960 999", u"", u""},
    {u"45", u"Jones", u"Smith", u"01/01/2001", u"", u"", u"+44 7700 900123"},
};

class PatientListTest : public orlo::test::SeededDeskTest<> {
protected:
    void SetUp() override {
        SeededDeskTest::SetUp();
        for (const Patient& p : kPeople) {
            save(p);
        }
        model.setFolder(folder(kPatients));
        ASSERT_TRUE(model.loadStatus().ok());
    }

    std::shared_ptr<host::Item> save(const Patient& p) {
        auto item = newItem(kPatients);
        const std::pair<QString, const char16_t*> values[] = {
            {u"PatientID"_s, p.id},  {u"Last Name"_s, p.last}, {u"First Name"_s, p.first},
            {u"DOB"_s, p.dob},       {u"HomeTel"_s, p.home},   {u"WorkTel"_s, p.work},
            {u"Mobile1"_s, p.mobile}};
        for (const auto& [name, value] : values) {
            EXPECT_TRUE(item->setUserProperty(name, Variant(QString::fromUtf16(value))).ok());
        }
        EXPECT_TRUE(item->Save().ok());
        return item;
    }

    // The patient nos. of the rows shown, in order.
    QStringList shownNumbers() const {
        QStringList out;
        for (int r = 0; r < model.rowCount(); ++r) {
            out << model.data(model.index(r, 5), Qt::DisplayRole).toString();
        }
        return out;
    }

    PatientListModel model{Locale::unitedKingdom()};
};

}  // namespace

TEST_F(PatientListTest, QuickSearchFindsSortsAndFollowsTheFolder) {
    // What is typed, and the patient nos. found in folder order.
    const std::pair<QString, QStringList> cases[] = {
        {u"smith"_s, {u"9"_s, u"112"_s, u"45"_s}},
        {u"SMITH, jo"_s, {u"9"_s, u"45"_s}},  // every word, anywhere in the name
        {u"smith joan"_s, {u"9"_s}},
        {u"o'b"_s, {u"10"_s}},
        {u"brien sean"_s, {u"10"_s}},
        {u"zz"_s, {}},
        // Telephone digits, whatever the punctuation on either side.
        {u"01632960123"_s, {u"9"_s}},
        {u"01632 960"_s, {u"9"_s, u"112"_s}},
        {u"(0207) 946-0018"_s, {u"10"_s}},
        {u"020-7946-0018"_s, {u"10"_s}},
        {u"900123"_s, {u"45"_s}},
        {u"7700 900"_s, {u"10"_s, u"45"_s}},
        // A number too short for a telephone is a patient no., matched whole.
        {u"9"_s, {u"9"_s}},
        {u"10"_s, {u"10"_s}},
        {u"112"_s, {u"112"_s}},
        {u"  45 "_s, {u"45"_s}},
        {u"1"_s, {}},
        // Emptied, every patient again.
        {u""_s, {u"9"_s, u"10"_s, u"112"_s, u"45"_s}},
    };
    for (const auto& [typed, found] : cases) {
        SCOPED_TRACE(typed.toStdString());
        model.setSearch(typed);
        EXPECT_EQ(shownNumbers(), found);
    }

    // Sorting by a column's kind of value.
    QStringList headers;
    for (int c = 0; c < model.columnCount(); ++c) {
        headers << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    EXPECT_EQ(headers, (QStringList{u"Name"_s, u"Date of birth"_s, u"Home telephone"_s,
                                    u"Work telephone"_s, u"City"_s, u"Patient no."_s}));
    const std::tuple<int, Qt::SortOrder, QStringList> sorts[] = {
        {0, Qt::AscendingOrder, {u"45"_s, u"10"_s, u"9"_s, u"112"_s}},
        {1, Qt::AscendingOrder, {u"112"_s, u"9"_s, u"10"_s, u"45"_s}},  // by date, not text
        {1, Qt::DescendingOrder, {u"45"_s, u"10"_s, u"9"_s, u"112"_s}},
        {5, Qt::AscendingOrder, {u"9"_s, u"10"_s, u"45"_s, u"112"_s}},  // by number
        {2, Qt::AscendingOrder, {u"9"_s, u"112"_s, u"10"_s, u"45"_s}},  // blanks last
        {2, Qt::DescendingOrder, {u"112"_s, u"9"_s, u"10"_s, u"45"_s}},
    };
    for (const auto& [column, order, numbers] : sorts) {
        SCOPED_TRACE(column);
        model.sort(column, order);
        EXPECT_EQ(shownNumbers(), numbers);
    }

    // A search keeps the order; an edit elsewhere, a deletion and a new
    // patient reach the list once the event loop turns.
    model.sort(0, Qt::AscendingOrder);
    model.setSearch(u"smith"_s);
    EXPECT_EQ(shownNumbers(), (QStringList{u"45"_s, u"9"_s, u"112"_s}));
    auto joan = folder(kPatients)->Items()->Find(u"[PatientID] = 9"_s);
    ASSERT_TRUE(joan.ok() && *joan);
    ASSERT_TRUE((*joan)->setUserProperty(u"Last Name"_s, Variant(u"Aardvark"_s)).ok());
    ASSERT_TRUE((*joan)->Save().ok());
    auto ann = folder(kPatients)->Items()->Find(u"[PatientID] = 112"_s);
    ASSERT_TRUE(ann.ok() && *ann);
    ASSERT_TRUE((*ann)->Delete().ok());
    save({u"7", u"Smith", u"Adam", u"", u"01632 960 777", u"", u""});
    const QStringList found{u"45"_s, u"7"_s};
    EXPECT_TRUE(orlo::test::waitFor([&] { return shownNumbers() == found; }));
    EXPECT_EQ(model.totalCount(), 4);
    model.setSearch(QString());
    EXPECT_EQ(shownNumbers(), (QStringList{u"9"_s, u"45"_s, u"10"_s, u"7"_s}));
    EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString(), u"Aardvark, Joan"_s);
}
