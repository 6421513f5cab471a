#pragma once
// A desk process for tests: a pinned clock, day-month dates and the desk
// application with one store file open; folders are found by their path
// below the store's top ("Orlo Networked V.1/Patients"). The workstation's
// files come from DeskTestStore (or a store the test makes itself).

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <memory>

#include "DeskTestStore.h"
#include "host/Application.h"
#include "host/Folders.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"

namespace orlo::test {

struct TestDesk {
    // Starts the desk on the store file (again, after close()).
    void open(const QString& storePath, MessageBoxService* boxes = nullptr) {
        app = host::Application::create(clock, locale, host::FormRegistry::standard(), boxes);
        ns = *app->GetNamespace(QStringLiteral("MAPI"));
        ASSERT_TRUE(ns->AddStore(storePath).ok()) << storePath.toStdString();
    }
    void close() {
        ns.reset();
        app.reset();
    }

    // The folder at "Top/Sub/..." (null, and a failure, when there is none).
    std::shared_ptr<host::MAPIFolder> folder(const QString& path) const {
        const QStringList names = path.split(u'/');
        auto f = ns->Folders()->Item(names.front());
        for (qsizetype i = 1; f.ok() && i < names.size(); ++i) {
            f = (*f)->Folders()->Item(names[i]);
        }
        EXPECT_TRUE(f.ok()) << path.toStdString();
        return f.ok() ? *f : nullptr;
    }
    std::shared_ptr<host::MAPIFolder> folder(const char16_t* path) const {
        return folder(QString::fromUtf16(path));
    }
    // A new, unsaved item of the folder's form.
    std::shared_ptr<host::Item> newItem(const char16_t* folderPath) const {
        auto item = folder(folderPath)->Items()->Add();
        EXPECT_TRUE(item.ok()) << QString::fromUtf16(folderPath).toStdString();
        return item.ok() ? *item : nullptr;
    }
    // A property's text as the desk shows it ("" when the item lacks it).
    static QString text(const std::shared_ptr<host::Item>& item, const QString& name) {
        return item->userProperty(name).valueOr(Variant()).text(Locale::unitedKingdom());
    }

    PinnedClock clock{naiveDateTime(QDate(2026, 3, 15), QTime(9, 30))};
    Locale locale = Locale::unitedKingdom();
    std::shared_ptr<host::Application> app;
    std::shared_ptr<host::NameSpace> ns;
};

// A test desk on a scratch workstation whose store holds `contacts` and
// `appointments` seeded items.
template <int contacts = 0, int appointments = 0>
class SeededDeskTest : public ::testing::Test, public TestDesk {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.create(contacts, appointments));
        open(store.storePath);
    }

    desk::test::DeskTestStore store;
};

}  // namespace orlo::test
