// The custom forms: their pages and controls as the field maps give them,
// bindings in both directions, and what they keep consistent on a save.

#include "HostFixture.h"
#include "host/BuiltInFields.h"
#include "host/HostErrors.h"
#include "host/Inspector.h"
#include "host/UserProperties.h"
#include "host/UserProperty.h"
#include "host/forms/FormPage.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::host::test {
namespace {

class FormTest : public HostFixture {
protected:
    std::shared_ptr<FormControl> control(const std::shared_ptr<Item>& item, const char16_t* page,
                                         const QString& name) {
        auto c = item->GetInspector()->formControl(qs(page), name);
        EXPECT_TRUE(c.ok()) << name.toStdString();
        return c.ok() ? *c : nullptr;
    }
};

TEST_F(FormTest, PatientPageControlsAreBoundToTheirValuesBothWays) {
    auto item = newItem(patients);
    auto page = item->GetInspector()->ModifiedFormPages(qs(records::kPatientPage));
    ASSERT_TRUE(page.ok());
    EXPECT_EQ((*page)->controls().size(), 29u);
    // "Patient ID" shows the built-in "Customer ID"; the rest their property.
    for (const auto& [control, property] :
         std::vector<std::pair<const char*, const char*>>{{"Patient ID", "Customer ID"},
                                                          {"LastNameTextBox", "Last Name"},
                                                          {"DateOfBirth", "DOB"},
                                                          {"CityBox", "City1"},
                                                          {"Phone2", "HomeTel"},
                                                          {"GeneralNotes", "Gnote"}}) {
        auto c = (*page)->Controls(QString::fromLatin1(control));
        ASSERT_TRUE(c.ok()) << control;
        ASSERT_TRUE((*c)->setValue(Variant(QString::fromLatin1(control))).ok());
        EXPECT_EQ(text(item, QString::fromLatin1(property)), QString::fromLatin1(control));
        ASSERT_TRUE(item->setUserProperty(QString::fromLatin1(property), Variant(u"x")).ok());
        EXPECT_EQ((*c)->Value()->text(Locale::unitedKingdom()), u"x"_s) << control;
    }
    // Missing pages and controls fail with the form error.
    EXPECT_EQ(orlo::test::failure(
                  item->GetInspector()->formControl(qs(records::kPatientPage), u"Nope"_s)),
              err::kUnknownFormControl);
    EXPECT_EQ(
        orlo::test::failure(item->GetInspector()->ModifiedFormPages(qs(records::kChargesPage))),
        err::kUnknownFormControl);
}

TEST_F(FormTest, ItemWindowsAreTitledByTheirFormsRule) {
    struct Case {
        std::shared_ptr<MAPIFolder> folder;
        QString messageClass;
        std::vector<std::pair<const char*, const char*>> values;
        const char* title;
    };
    const std::vector<Case> cases = {
        {patients,
         {},
         {{"Last Name", " Okafor "}, {"First Name", "Grace"}},
         "Okafor, Grace - Patient"},
        {patients, {}, {{"First Name", "Grace"}}, "Grace - Patient"},
        {patients, {}, {}, "Untitled - Patient"},
        {scheduler, {}, {{"LNAME", "Bell"}, {"FNAME", "Ann"}}, "Bell, Ann - Appointment"},
        {patients, u"IPM.Contact"_s, {}, "Untitled - Item"},
    };
    for (const Case& c : cases) {
        const auto item = *c.folder->Items()->Add(c.messageClass);
        for (const auto& [name, value] : c.values) {
            ASSERT_TRUE(
                item->setBoundValue(QString::fromLatin1(name), Variant(QString::fromLatin1(value)))
                    .ok());
        }
        EXPECT_EQ(item->GetInspector()->Caption(), QString::fromLatin1(c.title));
    }
}

TEST_F(FormTest, WritesRaiseCustomPropertyChangeAndTheRecallMaskFollowsTheDate) {
    auto item = newItem(scheduler);
    std::vector<QString> custom;
    std::vector<QString> builtIn;
    Subscription a = item->events.CustomPropertyChange.connect(
        [&](const QString& name) { custom.push_back(name); });
    Subscription b =
        item->events.PropertyChange.connect([&](const QString& name) { builtIn.push_back(name); });
    ASSERT_TRUE(
        control(item, records::kChargesPage, u"Balance1"_s)->setValue(Variant(u"12.50")).ok());
    ASSERT_TRUE(
        control(item, records::kSchedulerPage, u"REASON"_s)->setValue(Variant(u"Pain")).ok());
    ASSERT_TRUE((*item->UserProperties()->Item(u"Status1"_s))->setValue(Variant(u"BOOKED")).ok());
    ASSERT_TRUE(item->setUserProperty(u"Start"_s, Variant(clock.now())).ok());
    EXPECT_EQ(custom, (std::vector<QString>{u"Balance1"_s, u"REASON"_s, u"Status1"_s}));
    EXPECT_EQ(builtIn, (std::vector<QString>{u"Start"_s}));
    EXPECT_EQ(text(item, u"Balance1"_s), u"12.50"_s);

    // The recall mask follows the recall date; a save fills a blank one
    // before Write but keeps one written after the date (a database refresh).
    const QString due = qs(records::kRecallDueProperty);
    const QString mask = qs(records::kRecallDueMaskProperty);
    const std::pair<Variant, const char*> cases[] = {
        {Variant(u"15/03/2027"_s), "15/03/2027"},
        {Variant(naiveDateTime(QDate(2027, 9, 1))), "01/09/2027"},
        {Variant(QString()), "None"},
        {Variant(u"01/02/2027"_s), "01/02/2027"},
    };
    for (const auto& [value, shown] : cases) {
        ASSERT_TRUE(item->setUserProperty(due, value).ok());
        EXPECT_EQ(text(item, mask), QString::fromLatin1(shown));
    }
    ASSERT_TRUE(item->setUserProperty(mask, Variant(QString())).ok());
    QString seenInWrite;
    Subscription s = item->events.Write.connect([&](bool&) { seenInWrite = text(item, mask); });
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(seenInWrite, u"01/02/2027"_s);
    ASSERT_TRUE(item->setUserProperty(mask, Variant(u"05/06/2027"_s)).ok());
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(text(item, mask), u"05/06/2027"_s);
}

TEST_F(FormTest, PatientSaveKeepsCustomerIdEqualToPatientId) {
    auto item = newItem(patients);
    ASSERT_TRUE(item->setUserProperty(u"PatientID"_s, Variant(u"314")).ok());
    EXPECT_EQ(text(item, u"Customer ID"_s), QString());  // only on save
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(text(item, u"Customer ID"_s), u"314"_s);
    // A stale control value is put right by the next save.
    ASSERT_TRUE(control(item, records::kPatientPage, qs(records::kPatientIdControl))
                    ->setValue(Variant(u"999"))
                    .ok());
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(text(item, u"Customer ID"_s), u"314"_s);
    EXPECT_EQ(*patients->Items()->Find(u"[Customer ID] = 999"_s), nullptr);
}

}  // namespace
}  // namespace orlo::host::test
