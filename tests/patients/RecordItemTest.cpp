// What a contact in "Patients" and an appointment in "Scheduler" share: the
// first save inserts a row and keeps its key on the item, a save after an
// edit updates that row (or reports the row gone), every open window saves
// whatever the main window shows, opening reads the row (and offers to
// delete an item whose row is gone), and a new item saved after a deletion
// reaches the database. A database that cannot be reached: see the save
// fault matrix.

#include "RecordsFixture.h"
#include "host/Inspectors.h"
#include "host/Items.h"
#include "patients/basOutlookPatients.h"
#include "schedule/basOutlookAppointments.h"

namespace orlo::test {
namespace {

QString l1(const char* s) {
    return QString::fromLatin1(s);
}

struct PatientKind {
    static constexpr bool kPatient = true;
    static constexpr const char* kTable = "PATIENTS";
    static constexpr const char* kKeyColumn = "PT_ID";
    static constexpr const char* kKey = "PatientID";
    static constexpr const char* kBuiltInKey = "Customer ID";
    static constexpr const char* kEdited = "City1";
    static constexpr const char* kEditedColumn = "CITY";
    static constexpr const char* kExtra = "MED1";
    static constexpr const char* kExtraValue = "Aspirin";
    // The columns of the kind's own, as the first save writes them.
    static constexpr const char* kRowSql =
        "SELECT \"LAST NAME\" || '|' || DOB || '|' || CLINICAL_MED1 || '|' || DELETE_FLAG "
        "FROM PATIENTS";
    static constexpr const char* kRow = "O'Brien1|01/02/1970|Aspirin|NO";
    static constexpr const char* kFirstNotice =
        "P,1,1,O'Brien1,Zoë,01/02/1970,,,,,,,,,,,Leeds,,,,,,,,,,,,,,,,,,,,,Aspirin,,,,,,,,,,,,"
        "15/03/2026 09:30:00,15/03/2026 09:30:00,NO";
    static constexpr const char* kCreated = "CREATED";
    static constexpr const char* kUpdated = "LAST_UPDATED";
    static constexpr const char* kNotice = "P";
    // Another workstation's change takes the row from under the update.
    static constexpr const char* kRowGoneSql =
        "CREATE TRIGGER vanish BEFORE UPDATE ON PATIENTS BEGIN SELECT RAISE(IGNORE); END";
    static constexpr const char* kRowGoneBox =
        "There has been an error\r\n  The patient could not be saved: it is no longer in the "
        "database (it may have been deleted on another workstation).  3167  UpdatePatientRecord";
    // A fill's values (the key first), and what lands on the item: the
    // created and modified values are not applied.
    static QStringList fillValues(const QString& id) {
        QStringList v;
        for (int p = 1; p <= 50; ++p) {
            v << (p == 48 || p == 49 ? u"01/01/2001 01:00:00"_s : u"v%1"_s.arg(p));
        }
        v[0] = id;
        return v;
    }
    static constexpr const char* kFilled[] = {"Last Name", "DOB",        "Middle Name",
                                              "Gnote",     "NotesPage2", "DeleteFlag"};
    static constexpr const char* kFilledTexts = "v2|v4|v5|v29|v47|v50";
    static Status add(AddinContext& c, const QString& id) {
        return patients::AddPatientItem(c, fillValues(id));
    }
    static Status update(AddinContext& c, const QString& id) {
        return patients::UpdatePatientItem(c, fillValues(id));
    }
    static Result<bool> exists(AddinContext& c, const QString& id) {
        bool found = false;
        ORLO_TRY(patients::PatientExists(c, id, found));
        return found;
    }
    static Result<bool> existsByBuiltInKey(AddinContext& c, const QString& id) {
        return patients::PatientExistsByCustomerID(c, id);
    }
    static bool& saveEnabled(AddinContext& c) { return c.PatientItemSaveEnabled; }
    // A row changed on another workstation, and what opening shows of it (a
    // flagged row like any other).
    static constexpr const char* kOpenSql =
        "UPDATE PATIENTS SET \"LAST NAME\" = 'Smyth', MID_IN = 'Jo', DOB = '03/04/1971', "
        "HOME_TEL = '0113 496 0000', CTGNOTE = 'Seen by Dr O''Hara', CITY = 'Whitby', "
        "DELETE_FLAG = 'YES'";
    static constexpr const char* kOpenRead[] = {"Last Name", "Middle Name", "DOB",
                                                "HomeTel",   "Gnote",       "City1"};
    static constexpr const char* kOpenShown =
        "Smyth|Jo|03/04/1971|0113 496 0000|Seen by Dr O'Hara|Whitby";
    static constexpr const char* kGoneText =
        "This patient has been deleted from the database.\r\rYou can delete this patient from "
        "your Outlook folders by clicking 'Yes'.\rHowever, connected PC's will not be able to "
        "view/modify this patient.\rTo recreate this patient, you have to recreate it from "
        "scratch.\r\rDo you want to Delete this patient from your Outlook Folders?";
};

struct AppointmentKind {
    static constexpr bool kPatient = false;
    static constexpr const char* kTable = "SCHEDULED";
    static constexpr const char* kKeyColumn = "SCHEDULE_ID";
    static constexpr const char* kKey = "ScheduleID";
    static constexpr const char* kBuiltInKey = "Mileage";
    static constexpr const char* kEdited = "REASON";
    static constexpr const char* kEditedColumn = "REASON";
    static constexpr const char* kExtra = "ChrAmt1";
    static constexpr const char* kExtraValue = "12.50";
    static constexpr const char* kRowSql =
        "SELECT START_TIME || '|' || END_TIME || '|' || CHRAMT1 || '|' || PT_ID FROM SCHEDULED";
    static constexpr const char* kRow = "2026-03-16 09:00:00|2026-03-16 09:30:00|12.50|5";
    static constexpr const char* kFirstNotice =
        "S,1,1,16/03/2026 09:00:00,16/03/2026 09:30:00,,,,,Leeds,,,,,15/03/2026 09:30:00,"
        "15/03/2026 09:30:00,5,,,,,,,,,,,,,,,,,,,,,,,,,,12.50,,,,,,,,,,,,,,,";
    static constexpr const char* kCreated = "CREATED_ON";
    static constexpr const char* kUpdated = "UPDATED_ON";
    static constexpr const char* kNotice = "S";
    static constexpr const char* kRowGoneSql = "DELETE FROM SCHEDULED";
    static constexpr const char* kRowGoneBox =
        "There has been an error\r\n  The appointment could not be saved: it is no longer in "
        "the database (it may have been deleted on another workstation).  3167  "
        "UpdateScheduleRecord";
    static QStringList fillValues() {
        QStringList v;
        for (int p = 1; p <= 55; ++p) {
            v << u"w%1"_s.arg(p);
        }
        v[0] = u"16/03/2026 11:00:00"_s;
        v[1] = u"16/03/2026 11:30:00"_s;
        v[10] = u"None"_s;
        v[11] = u"01/01/2001 01:00:00"_s;
        v[12] = u"01/01/2001 01:00:00"_s;
        v[13] = u"5"_s;
        return v;
    }
    static constexpr const char* kFilled[] = {"Start", "REASON", "NOTEPAGE2"};
    static constexpr const char* kFilledTexts = "16/03/2026 11:00:00|w7|w55";
    static Status add(AddinContext& c, const QString& id) {
        return schedule::AddAppointmentItem(c, id, fillValues());
    }
    static Status update(AddinContext& c, const QString& id) {
        return schedule::UpdateAppointmentItem(c, id, fillValues());
    }
    static Result<bool> exists(AddinContext& c, const QString& id) {
        return schedule::AppointmentExists(c, id);
    }
    static Result<bool> existsByBuiltInKey(AddinContext& c, const QString& id) {
        return schedule::AppointmentExistsByMileage(c, id);
    }
    static bool& saveEnabled(AddinContext& c) { return c.ApptItemSaveEnabled; }
    // The visit's times and keys stay the item's own.
    static constexpr const char* kOpenSql =
        "UPDATE SCHEDULED SET REASON = 'Follow-up', STATUS = 'NO SHOW', RECALLPERIOD = '6', "
        "RECALLDUEDATE = '2026-09-15 00:00:00', NOTEPAGE2 = 'Zoë''s note', "
        "START_TIME = '2030-01-01 08:00:00'";
    static constexpr const char* kOpenRead[] = {
        "REASON",    "Status1", "RecallMonths", "RecallDBFormattedMASK",
        "NOTEPAGE2", "Start",   "ScheduleID"};
    static constexpr const char* kOpenShown =
        "Follow-up|NO SHOW|6|15/09/2026|Zoë's note|16/03/2026 09:00:00|1";
    static constexpr const char* kGoneText =
        "This appointment has been deleted from the database.\r\rYou can delete this appointment "
        "from your Outlook folders by clicking 'Yes'.\rHowever, connected PC's will not be able "
        "to view/modify this patient.\rTo recreate this appointment, you have to recreate it "
        "from scratch.\r\rDo you want to Delete this appointment from your Outlook Folders?";
};

template <class Kind>
class RecordItemTest : public RecordsFixture {
protected:
    void SetUp() override {
        RecordsFixture::SetUp();
        if constexpr (!Kind::kPatient) {
            rawExec(u"INSERT INTO PATIENTS (PT_ID, \"LAST NAME\") VALUES (5, 'Smith')"_s);
        }
    }

    // The add-in's folder of this kind, the other one, and a folder of the
    // same name and form elsewhere.
    std::shared_ptr<host::MAPIFolder> own() const {
        return Kind::kPatient ? patientsFolder : schedulerFolder;
    }
    std::shared_ptr<host::MAPIFolder> otherKind() const {
        return Kind::kPatient ? schedulerFolder : patientsFolder;
    }
    std::shared_ptr<host::MAPIFolder> stranger() const {
        return Kind::kPatient ? otherPatients : otherScheduler;
    }

    // New item `n` with the values its save needs (a patient's name differs
    // by n).
    std::shared_ptr<host::Item> fresh(int n, std::shared_ptr<host::MAPIFolder> folder = nullptr) {
        return Kind::kPatient
                   ? newPatient(u"O'Brien%1"_s.arg(n), u"Zoë"_s, u"01/02/1970"_s, folder)
                   : newAppointment(naiveDateTime(QDate(2026, 3, 16), QTime(9, 0)), u"5"_s, folder);
    }
    // The same with its window open, the edited value "Leeds" and the
    // kind's own extra value.
    std::shared_ptr<host::Item> opened(int n, std::shared_ptr<host::MAPIFolder> folder = nullptr) {
        auto item = fresh(n, std::move(folder));
        display(item);
        set(item, l1(Kind::kEdited), u"Leeds"_s);
        set(item, l1(Kind::kExtra), l1(Kind::kExtraValue));
        return item;
    }
    // Item 1 saved to row 1, its window closed again, no notice kept.
    std::shared_ptr<host::Item> saved() {
        auto item = opened(1);
        EXPECT_TRUE(item->Close(host::SaveMode::Save).ok());
        EXPECT_EQ(text(item, l1(Kind::kKey)), u"1"_s);
        peers.lines.clear();
        return item;
    }
    QString column(const char* name, const QString& key = u"1"_s) const {
        return rawValue(u"SELECT \"%1\" FROM %2 WHERE %3 = %4"_s.arg(l1(name), l1(Kind::kTable),
                                                                     l1(Kind::kKeyColumn), key))
            .value_or(u"<null>"_s);
    }
    qint64 rows() const { return rawCount(u"SELECT COUNT(*) FROM "_s + l1(Kind::kTable)); }
};

using Kinds = ::testing::Types<PatientKind, AppointmentKind>;
TYPED_TEST_SUITE(RecordItemTest, Kinds);

// The first save inserts one row and keeps its key under both names, a save
// after an edit updates that row, and an update whose row is gone is
// reported and not announced.
TYPED_TEST(RecordItemTest, FirstSaveInsertsASaveAfterAnEditUpdatesAndAGoneRowIsReported) {
    auto item = this->opened(1);
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(this->rows(), 1);
    EXPECT_EQ(this->column(TypeParam::kEditedColumn), u"Leeds"_s);
    EXPECT_EQ(this->rawValue(l1(TypeParam::kRowSql)), l1(TypeParam::kRow));
    EXPECT_EQ(this->column(TypeParam::kCreated), u"2026-03-15 09:30:00"_s);
    EXPECT_EQ(this->column(TypeParam::kUpdated), u"2026-03-15 09:30:00"_s);
    EXPECT_EQ(this->text(item, l1(TypeParam::kKey)), u"1"_s);
    EXPECT_EQ(this->text(item, l1(TypeParam::kBuiltInKey)), u"1"_s);
    EXPECT_TRUE(item->Saved());
    EXPECT_EQ(this->peers.lines, std::vector<QString>{QString::fromUtf8(TypeParam::kFirstNotice)});

    this->clock.advance(3600);
    this->set(item, l1(TypeParam::kEdited), u"Saint-Étienne d'Avoir"_s);
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(this->rows(), 1);
    EXPECT_EQ(this->column(TypeParam::kEditedColumn), u"Saint-Étienne d'Avoir"_s);
    // The creation time comes back from the item, the update time from the clock.
    EXPECT_EQ(this->column(TypeParam::kCreated), u"2026-03-15 09:30:00"_s);
    EXPECT_EQ(this->column(TypeParam::kUpdated), u"2026-03-15 10:30:00"_s);
    EXPECT_EQ(this->text(item, l1(TypeParam::kKey)), u"1"_s);
    ASSERT_EQ(this->peers.lines.size(), 2u);
    EXPECT_TRUE(this->peers.lines[1].startsWith(l1(TypeParam::kNotice) + u",2,1,"_s));
    EXPECT_TRUE(this->peers.lines[1].contains(u",15/03/2026 10:30:00,"_s));
    EXPECT_TRUE(this->boxes.shown().empty());

    this->rawExec(l1(TypeParam::kRowGoneSql));
    this->set(item, l1(TypeParam::kEdited), u"York"_s);
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(this->boxes.shown(),
              (std::vector<MessageBoxRequest>{
                  {l1(TypeParam::kRowGoneBox), u"Orlo"_s, MsgIcon::None, MsgButtons::OK}}));
    EXPECT_TRUE(this->errorLog().contains(u"Error #3167\r   The "_s))
        << this->errorLog().toStdString();
    EXPECT_EQ(this->peers.lines.size(), 2u);
    // Nothing is written in the row's place.
    EXPECT_EQ(this->rows(), TypeParam::kPatient ? 1 : 0);
    EXPECT_EQ(this->column(TypeParam::kEditedColumn),
              TypeParam::kPatient ? u"Saint-Étienne d'Avoir"_s : u"<null>"_s);
}

TYPED_TEST(RecordItemTest, EveryOpenWindowSavesWhateverTheMainWindowShows) {
    auto first = this->opened(1);
    auto second = this->opened(2);
    // The first window is not the last one opened; the main window shows
    // one folder after another.
    for (const auto& [shown, value] :
         {std::pair{this->otherKind(), u"York"_s}, std::pair{this->inboxLike, u"Hull"_s},
          std::pair{this->own(), u"Ripon"_s}}) {
        this->showFolder(shown);
        this->set(first, l1(TypeParam::kEdited), value);
        ASSERT_TRUE(first->Save().ok());
        EXPECT_EQ(this->column(TypeParam::kEditedColumn), value) << shown->Name().toStdString();
    }
    ASSERT_TRUE(second->Save().ok());
    EXPECT_EQ(this->text(second, l1(TypeParam::kKey)), u"2"_s);
    EXPECT_EQ(this->peers.lines.size(), 4u);

    // An item of the same form in another folder of the same name is none
    // of the add-in's.
    auto stranger = this->opened(3, this->stranger());
    ASSERT_TRUE(stranger->Save().ok());
    EXPECT_EQ(this->rows(), 2);
    EXPECT_TRUE(this->text(stranger, l1(TypeParam::kKey)).isEmpty());
    EXPECT_TRUE(this->boxes.shown().empty());
}

TYPED_TEST(RecordItemTest, OpenReadsTheRowWhateverTheMainWindowShowsOrOffersItsDeletion) {
    auto unsaved = this->opened(2);  // a new item has no row to read
    EXPECT_TRUE(this->boxes.shown().empty());
    ASSERT_TRUE(unsaved->Close(host::SaveMode::Discard).ok());

    auto item = this->saved();
    this->rawExec(QString::fromUtf8(TypeParam::kOpenSql));
    this->showFolder(this->otherKind());
    this->display(item);
    QStringList shown;
    for (const char* property : TypeParam::kOpenRead) {
        shown << this->text(item, l1(property));
    }
    EXPECT_EQ(shown.join(u'|'), QString::fromUtf8(TypeParam::kOpenShown));
    // The refresh is not saved.
    EXPECT_FALSE(item->Saved());
    EXPECT_EQ(this->rows(), 1);
    EXPECT_TRUE(this->peers.lines.empty());
    EXPECT_TRUE(this->boxes.shown().empty());

    // Opened again once its row is gone: its deletion is offered.
    ASSERT_TRUE(item->Close(host::SaveMode::Discard).ok());
    this->rawExec(u"DELETE FROM "_s + l1(TypeParam::kTable));
    this->boxes.queueAnswer(MsgAnswer::No);
    this->display(item);
    ASSERT_EQ(this->boxes.shown().size(), 1u);
    EXPECT_EQ(this->boxes.shown()[0],
              (MessageBoxRequest{l1(TypeParam::kGoneText), u"Orlo Software - Delete Confirmation"_s,
                                 MsgIcon::Exclamation, MsgButtons::YesNo}));
    EXPECT_FALSE(item->isDeleted());
    EXPECT_EQ(this->text(item, l1(TypeParam::kEdited)), u"Leeds"_s);
    ASSERT_TRUE(item->Close(host::SaveMode::Discard).ok());

    // An item of another folder of the same name with the same key is left alone.
    auto stranger = this->fresh(3, this->stranger());
    this->set(stranger, l1(TypeParam::kKey), u"1"_s);
    this->display(stranger);
    EXPECT_EQ(this->boxes.shown().size(), 1u);

    this->boxes.queueAnswer(MsgAnswer::Yes);
    this->display(item);
    EXPECT_TRUE(item->isDeleted());
    EXPECT_EQ(*this->own()->Items()->Count(), 0);
    EXPECT_FALSE(stranger->isDeleted());
}

TYPED_TEST(RecordItemTest, ANewItemSavedAfterADeletionReachesTheDatabase) {
    using Remove = std::function<void(const std::shared_ptr<host::Item>&)>;
    const std::vector<std::pair<const char*, Remove>> deletions = {
        {"deleted in its window",
         [&](const auto& item) {
             this->display(item);
             ASSERT_TRUE(item->Delete().ok());
         }},
        {"row gone, deletion offered and taken",
         [&](const auto& item) {
             this->rawExec(u"DELETE FROM %1 WHERE %2 = %3"_s.arg(
                 l1(TypeParam::kTable), l1(TypeParam::kKeyColumn),
                 this->text(item, l1(TypeParam::kKey))));
             this->boxes.queueAnswer(MsgAnswer::Yes);
             this->display(item);
             ASSERT_TRUE(item->isDeleted());
             EXPECT_EQ(this->app->Inspectors()->Count(), 0);
         }},
        {"deletion refused by another handler",
         [&](const auto& item) {
             this->display(item);
             auto veto = item->events.BeforeDelete.connect(
                 [](const std::shared_ptr<host::Item>&, bool& cancel) { cancel = true; });
             ASSERT_FALSE(item->Delete().ok());
         }},
    };
    int n = 0;
    for (const auto& [name, remove] : deletions) {
        SCOPED_TRACE(name);
        auto gone = this->opened(++n);
        ASSERT_TRUE(gone->Close(host::SaveMode::Save).ok());
        remove(gone);
        const qint64 before = this->rows();
        auto next = this->opened(10 + n);
        ASSERT_TRUE(next->Save().ok());
        EXPECT_FALSE(this->text(next, l1(TypeParam::kKey)).isEmpty());
        EXPECT_EQ(this->rows(), before + 1);
        ASSERT_TRUE(next->Close(host::SaveMode::Discard).ok());
    }
    // Deleting in the desk never touches the database: only the row the
    // second case removed itself is gone.
    EXPECT_EQ(this->rows(), 5);
    EXPECT_EQ(this->boxes.shown().size(), 1u);
}

// The fill operations that peers and the resync use: the item open on
// screen is overwritten, a new item made, and the database never written.
TYPED_TEST(RecordItemTest, FillOperationsWriteItemsAndNeverTheDatabase) {
    auto item = this->saved();
    this->display(item);
    AddinContext& c = *this->ctx;
    const auto filled = [&](const std::shared_ptr<host::Item>& i) -> QString {
        QStringList out;
        for (const char* property : TypeParam::kFilled) {
            out << this->text(i, l1(property));
        }
        return out.join(u'|') + u'|' + this->text(i, u"Created"_s);
    };
    const QString expected = l1(TypeParam::kFilledTexts) + u"|15/03/2026 09:30:00"_s;
    for (const char* id : {"1", "40"}) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(
            (id == std::string_view("1") ? TypeParam::update(c, l1(id)) : TypeParam::add(c, l1(id)))
                .ok());
        EXPECT_FALSE(TypeParam::saveEnabled(c));  // the caller sets it back
        TypeParam::saveEnabled(c) = true;
    }
    EXPECT_EQ(filled(item), expected);
    EXPECT_TRUE(item->Saved());
    EXPECT_EQ(this->column(TypeParam::kEditedColumn), u"Leeds"_s);
    auto added = this->own()->Items()->Find(u"[%1] = 40"_s.arg(l1(TypeParam::kKey)));
    ASSERT_TRUE(added.ok() && *added);
    EXPECT_EQ(filled(*added), expected);
    EXPECT_EQ(this->text(*added, l1(TypeParam::kBuiltInKey)), u"40"_s);
    EXPECT_EQ(this->rows(), 1);
    EXPECT_TRUE(this->peers.lines.empty());

    for (const auto& [id, found] :
         {std::pair{u"40"_s, true}, std::pair{u"41"_s, false}, std::pair{QString(), false}}) {
        EXPECT_EQ(*TypeParam::exists(c, id), found) << id.toStdString();
        EXPECT_EQ(*TypeParam::existsByBuiltInKey(c, id), found) << id.toStdString();
    }
    // An id that no item carries fails in the caller and changes nothing.
    EXPECT_FALSE(TypeParam::update(c, u"77"_s).ok());
    EXPECT_TRUE(TypeParam::saveEnabled(c));
}

}  // namespace
}  // namespace orlo::test
