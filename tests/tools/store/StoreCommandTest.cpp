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

using namespace Qt::Literals::StringLiterals;

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

TEST_F(StoreCommandTest, InitAddinMakesTheTreeNeverOverwritesAndSeedsListsAndDumps) {
    const QString p = path("12-27Orlonetv1.pst");
    const CommandRun init = run({u"store"_s, u"init-addin"_s, p});
    EXPECT_EQ(init.code, 0) << init.err.toStdString();
    EXPECT_EQ(init.out, u"Created %1\n"_s.arg(p));

    const CommandRun ls = run({u"store"_s, u"ls"_s, p});
    EXPECT_EQ(ls.code, 0);
    EXPECT_EQ(ls.out,
              u"Orlo Networked V.1 [Mail, IPM.Note] 0 items\n"
              "  Patients [Contacts, IPM.Contact.Patient] 0 items\n"
              "  Scheduler [Calendar, IPM.Appointment.Scheduler] 0 items\n"_s);

    const QByteArray before = test::readFile(p);
    const CommandRun again = run({u"init-addin"_s, p});
    EXPECT_EQ(again.code, 1);
    EXPECT_TRUE(again.err.contains(u"\"%1\" already exists"_s.arg(p))) << again.err.toStdString();
    EXPECT_EQ(test::readFile(p), before);
    // Seed, then list and dump a folder by path.
    const CommandRun seeded =
        run({u"seed"_s, p, u"--contacts"_s, u"3"_s, u"--appointments"_s, u"7"_s});
    EXPECT_EQ(seeded.code, 0) << seeded.err.toStdString();
    EXPECT_TRUE(seeded.out.startsWith(u"Added 3 contacts and 7 appointments in "_s));
    // Seeding again continues the ids.
    ASSERT_EQ(run({u"seed"_s, p, u"--contacts"_s, u"2"_s}).code, 0);

    const CommandRun listed = run({u"ls"_s, p});
    EXPECT_TRUE(listed.out.contains(u"  Patients [Contacts, IPM.Contact.Patient] 5 items\n"_s))
        << listed.out.toStdString();
    EXPECT_TRUE(
        listed.out.contains(u"Scheduler [Calendar, IPM.Appointment.Scheduler] 7 items\n"_s));

    const CommandRun dump = run({u"dump"_s, p, u"orlo networked v.1/patients"_s});
    ASSERT_EQ(dump.code, 0) << dump.err.toStdString();
    const QStringList lines = dump.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    for (int i = 0; i < 5; ++i) {
        const QJsonObject o = QJsonDocument::fromJson(lines[i].toUtf8()).object();
        EXPECT_EQ(o[u"messageClass"_s].toString(), u"IPM.Contact.Patient"_s);
        const QJsonObject props = o[u"properties"_s].toObject();
        EXPECT_EQ(props[u"PatientID"_s].toString(), QString::number(i + 1));
        EXPECT_EQ(props[u"Customer ID"_s].toString(), QString::number(i + 1));
    }
    const CommandRun appts = run({u"dump"_s, p, u"Scheduler"_s});
    const QJsonObject first =
        QJsonDocument::fromJson(appts.out.section(u'\n', 0, 0).toUtf8()).object();
    const QJsonObject props = first[u"properties"_s].toObject();
    EXPECT_EQ(props[u"Mileage"_s].toString(), u"1"_s);
    EXPECT_EQ(props[u"Start"_s].toObject()[u"date"_s].toString(), u"2020-01-02T09:00:00.000Z"_s);

    auto store = host::StoreFile::open(p).value();
    const AddinFolders f = *addinFolders(*store);
    EXPECT_EQ(*store->findFirst(f.scheduler, u"Mileage"_s, 7), store->itemIds(f.scheduler)->back());
}

TEST_F(StoreCommandTest, BadArgumentsFailWithAMessageAndTheSeederUsesOnlyFormProperties) {
    const QString text = path("notes.txt");
    test::writeFile(text, "not a store\n");
    const QString missing = path("missing.pst");
    struct Case {
        QStringList args;
        int code;
        QString message;
    };
    const QString good = path("good.pst");
    ASSERT_EQ(run({u"init-addin"_s, good}).code, 0);
    const std::vector<Case> cases = {
        {{u"store"_s}, 2, u"which store command?"_s},
        {{u"frob"_s, good}, 2, u"unknown command \"frob\""_s},
        {{u"ls"_s}, 2, u"ls takes one store path"_s},
        {{u"ls"_s, missing}, 1, u"\"%1\" does not exist"_s.arg(missing)},
        {{u"ls"_s, text}, 1, u"\"%1\" is not an item store"_s.arg(text)},
        {{u"dump"_s, text, u"Patients"_s}, 1, u"is not an item store"_s},
        {{u"dump"_s, good, u"Orlo Networked V.1/Nope"_s},
         1,
         u"has no folder \"Nope\" in \"Orlo Networked V.1\""_s},
        {{u"init-addin"_s, path("no/dir/x.pst")}, 1, u"cannot be created"_s},
        {{u"seed"_s, good, u"--contacts"_s, u"-1"_s},
         2,
         u"--contacts needs a count of 0 or more"_s},
        {{u"seed"_s, good, u"--patients"_s, u"1"_s}, 2, u"unknown option \"--patients\""_s},
        {{u"seed"_s, text, u"--contacts"_s, u"1"_s}, 1, u"is not an item store"_s},
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
    host::StoreFile::create(bare, u"Orlo Networked V.1"_s).value().reset();
    const CommandRun r = run({u"seed"_s, bare, u"--contacts"_s, u"1"_s});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(u"has no folder \"Patients\""_s)) << r.err.toStdString();
    // A name the form does not know (a control's name such as "Phone1") is
    // a value no window, list column or save ever reads.
    const host::FormRegistry forms = host::FormRegistry::standard();
    const std::pair<QString, host::PropertyMap> seeded[] = {
        {u"IPM.Contact.Patient"_s, StoreSeeder::contact(7)},
        {u"IPM.Appointment.Scheduler"_s, StoreSeeder::appointment(7, 3)},
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
