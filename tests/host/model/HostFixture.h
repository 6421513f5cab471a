#pragma once
// A desk with the add-in's store open in a temporary folder: "Orlo
// Networked V.1" with "Patients" (patient form) and "Scheduler"
// (appointment form) as the admin tool makes it, a pinned clock and
// day-month dates.

#include <QTemporaryDir>
#include <memory>

#include "TestDesk.h"
#include "TestSupport.h"
#include "host/Application.h"
#include "host/Explorer.h"
#include "host/Explorers.h"
#include "host/Folders.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "platform/core/Clock.h"
#include "records/FieldMaps.h"
#include "tools/store/AddinStore.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::host::test {

inline QString qs(const char16_t* s) {
    return QString::fromUtf16(s);
}

class HostFixture : public ::testing::Test, public orlo::test::TestDesk {
protected:
    static constexpr char16_t kTop[] = u"Orlo Networked V.1";

    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(u"addin.pst"_s);
        ASSERT_TRUE(tools::createAddinStore(m_path).ok());
        openDesk();
        patients = folder(u"Patients"_s);
        scheduler = folder(u"Scheduler"_s);
        explorer = app->Explorers()->Add(patients);
    }

    // A desk process on the store file (again, after closeDesk).
    void openDesk() { open(m_path); }
    void closeDesk() {
        explorer.reset();
        patients.reset();
        scheduler.reset();
        close();
    }

    std::shared_ptr<MAPIFolder> folder(const QString& name) const {
        return TestDesk::folder(qs(kTop) + u'/' + name);
    }

    std::shared_ptr<Item> newItem(const std::shared_ptr<MAPIFolder>& f) {
        auto item = f->Items()->Add();
        EXPECT_TRUE(item.ok());
        return *item;
    }

    // A saved patient with the given PatientID.
    std::shared_ptr<Item> savedPatient(const QString& id, const QString& lastName = {}) {
        auto item = newItem(patients);
        EXPECT_TRUE(item->setUserProperty(u"PatientID"_s, Variant(id)).ok());
        EXPECT_TRUE(item->setUserProperty(u"Last Name"_s, Variant(lastName)).ok());
        EXPECT_TRUE(item->Save().ok());
        return item;
    }
    std::shared_ptr<Item> savedAppointment(const QString& id) {
        auto item = newItem(scheduler);
        EXPECT_TRUE(item->setUserProperty(u"ScheduleID"_s, Variant(id)).ok());
        EXPECT_TRUE(item->Save().ok());
        return item;
    }

    static QString text(const std::shared_ptr<Item>& item, const QString& name) {
        auto v = item->userProperty(name);
        EXPECT_TRUE(v.ok()) << name.toStdString();
        return v.ok() ? v->text(Locale::unitedKingdom()) : QString();
    }

    QTemporaryDir m_dir;
    QString m_path;
    std::shared_ptr<MAPIFolder> patients;
    std::shared_ptr<MAPIFolder> scheduler;
    std::shared_ptr<Explorer> explorer;
};

}  // namespace orlo::host::test
