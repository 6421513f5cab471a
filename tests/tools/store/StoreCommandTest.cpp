// `orlo store` commands, run in-process on real store files.

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>

#include "TestSupport.h"
#include "host/BuiltInFields.h"
#include "host/forms/FormDefinition.h"
#include "host/forms/FormRegistry.h"
#include "host/store/StoreFile.h"
#include "tools/store/AddinStore.h"
#include "tools/store/StoreCommand.h"
#include "tools/store/StoreSeeder.h"

using namespace orlo;
using namespace orlo::tools;

namespace {

struct CommandRun {
    int code = -1;
    QString out;
    QString err;
};

CommandRun run(const QStringList& args) {
    CommandRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = storeCommand(args, out, err);
    out.flush();
    err.flush();
    return r;
}

class StoreCommandTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(StoreCommandTest, InitAddinMakesTheTreeAndNeverOverwrites) {
    const QString p = path("12-27Orlonetv1.pst");
    const CommandRun init = run({QStringLiteral("store"), QStringLiteral("init-addin"), p});
    EXPECT_EQ(init.code, 0) << init.err.toStdString();
    EXPECT_EQ(init.out, QStringLiteral("Created %1\n").arg(p));

    const CommandRun ls = run({QStringLiteral("store"), QStringLiteral("ls"), p});
    EXPECT_EQ(ls.code, 0);
    EXPECT_EQ(ls.out,
              QStringLiteral("Orlo Networked V.1 [Mail, IPM.Note] 0 items\n"
                             "  Patients [Contacts, IPM.Contact.Patient] 0 items\n"
                             "  Scheduler [Calendar, IPM.Appointment.Scheduler] 0 items\n"));

    const QByteArray before = test::readFile(p);
    const CommandRun again = run({QStringLiteral("init-addin"), p});
    EXPECT_EQ(again.code, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("\"%1\" already exists").arg(p)))
        << again.err.toStdString();
    EXPECT_EQ(test::readFile(p), before);
}

TEST_F(StoreCommandTest, SeedThenListAndDumpAFolderByPath) {
    const QString p = path("seeded.pst");
    ASSERT_EQ(run({QStringLiteral("init-addin"), p}).code, 0);
    const CommandRun seeded =
        run({QStringLiteral("seed"), p, QStringLiteral("--contacts"), QStringLiteral("3"),
             QStringLiteral("--appointments"), QStringLiteral("7")});
    EXPECT_EQ(seeded.code, 0) << seeded.err.toStdString();
    EXPECT_TRUE(seeded.out.startsWith(QStringLiteral("Added 3 contacts and 7 appointments in ")));
    // Seeding again continues the ids.
    ASSERT_EQ(
        run({QStringLiteral("seed"), p, QStringLiteral("--contacts"), QStringLiteral("2")}).code,
        0);

    const CommandRun ls = run({QStringLiteral("ls"), p});
    EXPECT_TRUE(
        ls.out.contains(QStringLiteral("  Patients [Contacts, IPM.Contact.Patient] 5 items\n")))
        << ls.out.toStdString();
    EXPECT_TRUE(ls.out.contains(
        QStringLiteral("Scheduler [Calendar, IPM.Appointment.Scheduler] 7 items\n")));

    const CommandRun dump =
        run({QStringLiteral("dump"), p, QStringLiteral("orlo networked v.1/patients")});
    ASSERT_EQ(dump.code, 0) << dump.err.toStdString();
    const QStringList lines = dump.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    for (int i = 0; i < 5; ++i) {
        const QJsonObject o = QJsonDocument::fromJson(lines[i].toUtf8()).object();
        EXPECT_EQ(o[QStringLiteral("messageClass")].toString(),
                  QStringLiteral("IPM.Contact.Patient"));
        const QJsonObject props = o[QStringLiteral("properties")].toObject();
        EXPECT_EQ(props[QStringLiteral("PatientID")].toString(), QString::number(i + 1));
        EXPECT_EQ(props[QStringLiteral("Customer ID")].toString(), QString::number(i + 1));
    }
    const CommandRun appts = run({QStringLiteral("dump"), p, QStringLiteral("Scheduler")});
    const QJsonObject first =
        QJsonDocument::fromJson(appts.out.section(u'\n', 0, 0).toUtf8()).object();
    const QJsonObject props = first[QStringLiteral("properties")].toObject();
    EXPECT_EQ(props[QStringLiteral("Mileage")].toString(), QStringLiteral("1"));
    EXPECT_EQ(props[QStringLiteral("Start")].toObject()[QStringLiteral("date")].toString(),
              QStringLiteral("2020-01-02T09:00:00.000Z"));

    auto store = host::StoreFile::open(p).value();
    const AddinFolders f = *addinFolders(*store);
    EXPECT_EQ(*store->findFirst(f.scheduler, QStringLiteral("Mileage"), 7),
              store->itemIds(f.scheduler)->back());
}

TEST_F(StoreCommandTest, BadArgumentsPathsAndFilesFailWithAMessage) {
    const QString text = path("notes.txt");
    test::writeFile(text, "not a store\n");
    const QString missing = path("missing.pst");
    struct Case {
        QStringList args;
        int code;
        QString message;
    };
    const QString good = path("good.pst");
    ASSERT_EQ(run({QStringLiteral("init-addin"), good}).code, 0);
    const std::vector<Case> cases = {
        {{QStringLiteral("store")}, 2, QStringLiteral("which store command?")},
        {{QStringLiteral("frob"), good}, 2, QStringLiteral("unknown command \"frob\"")},
        {{QStringLiteral("ls")}, 2, QStringLiteral("ls takes one store path")},
        {{QStringLiteral("ls"), missing}, 1, QStringLiteral("\"%1\" does not exist").arg(missing)},
        {{QStringLiteral("ls"), text}, 1, QStringLiteral("\"%1\" is not an item store").arg(text)},
        {{QStringLiteral("dump"), text, QStringLiteral("Patients")},
         1,
         QStringLiteral("is not an item store")},
        {{QStringLiteral("dump"), good, QStringLiteral("Orlo Networked V.1/Nope")},
         1,
         QStringLiteral("has no folder \"Nope\" in \"Orlo Networked V.1\"")},
        {{QStringLiteral("init-addin"), path("no/dir/x.pst")},
         1,
         QStringLiteral("cannot be created")},
        {{QStringLiteral("seed"), good, QStringLiteral("--contacts"), QStringLiteral("-1")},
         2,
         QStringLiteral("--contacts needs a count of 0 or more")},
        {{QStringLiteral("seed"), good, QStringLiteral("--patients"), QStringLiteral("1")},
         2,
         QStringLiteral("unknown option \"--patients\"")},
        {{QStringLiteral("seed"), text, QStringLiteral("--contacts"), QStringLiteral("1")},
         1,
         QStringLiteral("is not an item store")},
    };
    for (const Case& c : cases) {
        const CommandRun r = run(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    }
    EXPECT_EQ(test::readFile(text), QByteArray("not a store\n"));
    EXPECT_FALSE(QFile::exists(missing));

    // A store without the add-in's folders cannot be seeded.
    const QString bare = path("bare.pst");
    host::StoreFile::create(bare, QStringLiteral("Orlo Networked V.1")).value().reset();
    const CommandRun r =
        run({QStringLiteral("seed"), bare, QStringLiteral("--contacts"), QStringLiteral("1")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("has no folder \"Patients\"")))
        << r.err.toStdString();
}

TEST(StoreSeederTest, SeedsOnlyPropertiesTheFormsKnow) {
    // A name the form does not know (a control's name such as "Phone1") is
    // a value no window, list column or save ever reads.
    const host::FormRegistry forms = host::FormRegistry::standard();
    const std::pair<QString, host::PropertyMap> seeded[] = {
        {QStringLiteral("IPM.Contact.Patient"), StoreSeeder::contact(7)},
        {QStringLiteral("IPM.Appointment.Scheduler"), StoreSeeder::appointment(7, 3)},
    };
    for (const auto& [messageClass, properties] : seeded) {
        const host::FormDefinition* form = forms.find(messageClass);
        ASSERT_NE(form, nullptr) << messageClass.toStdString();
        const host::PropertyMap known = form->initialProperties();
        for (const auto& [name, value] : properties) {
            EXPECT_TRUE(known.count(name) == 1 || host::isBuiltInField(name))
                << messageClass.toStdString() << ": " << name.toStdString();
        }
    }
}
