#pragma once
// The add-in tests' workstation (see AddinWorkstation), with the add-in's
// folders and items made as a user makes them.

#include "AddinWorkstation.h"
#include "TestDatabases.h"
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "host/Item.h"
#include "host/Items.h"
#include "tools/store/AddinStore.h"

namespace orlo::addin::test {

inline QString qs(const char16_t* s) {
    return QString::fromUtf16(s);
}

class AddinFixture : public ::testing::Test, public orlo::test::AddinWorkstation {
protected:
    void SetUp() override { ASSERT_TRUE(setUp()); }
    OutAddIn& addin() { return *addinConnect.outAddIn(); }

    // An item saved in the desk with its key, and its row in the shared
    // database (unless there is one), so that opening it finds the row.
    std::shared_ptr<host::Item> savedItem(const std::shared_ptr<host::MAPIFolder>& f,
                                          const QString& keyName, const QString& key) {
        const bool isPatient = keyName == u"PatientID"_s;
        orlo::test::rawExecAt(appPath(u"\\Database\\Patients.mdb"),
                              u"INSERT INTO %1 (%2) SELECT %3 WHERE NOT EXISTS "
                              "(SELECT 1 FROM %1 WHERE %2 = %3)"_s.arg(
                                  isPatient ? u"PATIENTS"_s : u"SCHEDULED"_s,
                                  isPatient ? u"PT_ID"_s : u"SCHEDULE_ID"_s, key));
        auto item = f->Items()->Add();
        EXPECT_TRUE(item.ok());
        EXPECT_TRUE((*item)->setUserProperty(keyName, Variant(key)).ok());
        EXPECT_TRUE((*item)->Save().ok());
        return *item;
    }
    std::shared_ptr<host::Item> patient(const QString& id) {
        return savedItem(addinFolderNamed(kPatientsFolderName), u"PatientID"_s, id);
    }
    std::shared_ptr<host::Item> appointment(const QString& id) {
        return savedItem(addinFolderNamed(kSchedulerFolderName), u"ScheduleID"_s, id);
    }
    std::shared_ptr<host::Item> mail() {
        auto item = inbox->Items()->Add(u"IPM.Note"_s);
        EXPECT_TRUE(item.ok());
        EXPECT_TRUE((*item)->Save().ok());
        return *item;
    }

    bool addinStoreOpen() const { return ns->Folders()->Item(qs(kAddinTopFolderName)).ok(); }
};

// The same workstation with the add-in connected at the desk's start.
class ConnectedAddinFixture : public AddinFixture {
protected:
    void SetUp() override {
        AddinFixture::SetUp();
        ASSERT_TRUE(connectAddin().ok());
    }
};

}  // namespace orlo::addin::test
