#pragma once
// A clinic for the search windows' tests: the patient and appointment tests'
// workstation (a real shared database, the add-in's store, the started
// add-in, a pinned clock of 15 March 2026) with five patients (an
// apostrophe, a space, two Smiths in two letter cases, a Smithfield) and
// their visits around month ends put in with plain SQLite, the search data
// and a help folder.

#include <QDir>

#include "RecordsFixture.h"
#include "host/Items.h"
#include "platform/ui/HelpViewer.h"
#include "search/SearchForm.h"

namespace orlo::test {

class SearchClinic : public RecordsFixture {
protected:
    void SetUp() override {
        RecordsFixture::SetUp();
        rawExec(
            u"INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", \"FIRST NAME\", MID_IN, DOB, CITY, "
            "HOME_TEL, DOCTOR) VALUES "
            "(1, 'O''Brien', 'Aoife', 'M', '02/03/1980', 'Dublin', '01 555 0101', 'Dr Khan'),"
            "(2, 'Van Dyke', 'Leo', NULL, '14/07/1975', 'York', NULL, 'Dr Ode'),"
            "(3, 'Smith', 'Anna', 'J', '30/11/1990', 'Leeds', '0113 496 0000', 'Dr Khan'),"
            "(4, 'smithers', 'Bob', '', '01/01/1960', 'Bath', '01225 000111', 'Dr Lee'),"
            "(5, 'Adams', 'Zoe', 'K', '05/05/2001', 'Smithfield', '0161 000 222', 'Dr Ode')"_s);
        rawExec(
            u"INSERT INTO SCHEDULED (SCHEDULE_ID, PT_ID, LAST_NAME, FIRST_NAME, START_TIME, "
            "END_TIME, REASON, RECALLDUEDATE) VALUES "
            "(10, 3, 'Smith', 'Anna', '2025-12-01 09:00:00', '2025-12-01 09:30:00', 'Eyes', "
            "'2026-12-01 00:00:00'),"
            "(11, 3, 'Smith', 'Anna', '2025-12-31 09:00:00', '2025-12-31 09:30:00', 'Ears', "
            "'2026-12-31 00:00:00'),"
            "(12, 3, 'Smith', 'Anna', '2026-01-01 09:00:00', '2026-01-01 09:30:00', 'Feet', "
            "'2027-01-01 00:00:00'),"
            "(20, 1, 'O''Brien', 'Aoife', '2025-11-30 10:00:00', NULL, NULL, "
            "'2026-11-30 00:00:00'),"
            "(21, 1, 'O''Brien', 'Aoife', '2026-02-28 10:00:00', NULL, NULL, "
            "'2027-02-28 00:00:00'),"
            "(22, 1, 'O''Brien', 'Aoife', '2026-03-01 10:00:00', NULL, NULL, "
            "'2027-03-01 00:00:00'),"
            "(23, 1, 'O''Brien', 'Aoife', '2027-02-28 10:00:00', NULL, NULL, "
            "'2028-02-29 00:00:00'),"
            "(24, 1, 'O''Brien', 'Aoife', '2024-06-01 10:00:00', NULL, NULL, "
            "'2025-06-01 00:00:00')"_s);
        QDir(dbs.dir()).mkpath(u"Help"_s);
        data = std::make_unique<search::SearchData>(*ctx);
    }
    search::SearchServices services() { return {*ctx, *data, help}; }
    // A contact in "Patients" standing for patient `id`, saved without
    // writing the database.
    std::shared_ptr<host::Item> contactOf(const QString& id) {
        auto item = patientsFolder->Items()->Add();
        EXPECT_TRUE(item.ok());
        ctx->PatientItemSaveEnabled = false;
        set(*item, u"PatientID"_s, id);
        EXPECT_TRUE((*item)->Save().ok());
        ctx->PatientItemSaveEnabled = true;
        return *item;
    }
    // The boxes shown since the last call, as "title|text", and forgotten.
    QStringList takeBoxes() {
        QStringList out;
        for (const MessageBoxRequest& b : boxes.shown()) {
            out << b.title + u'|' + b.text;
        }
        boxes.clear();
        return out;
    }

public:
    // The texts of one column, in list order.
    static QStringList column(search::SearchForm& form, int c) {
        QStringList out;
        for (int r = 0; r < form.list().rowCount(); ++r) {
            out << form.list().text(r, c).toString();
        }
        return out;
    }

protected:
    std::unique_ptr<search::SearchData> data;
    QtHelpViewer help{QDir(dbs.dir()).filePath(u"Help"_s)};
};

}  // namespace orlo::test
