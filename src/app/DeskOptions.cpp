#include "app/DeskOptions.h"

#include <QDir>

#include "platform/core/Error.h"

namespace orlo::desk {

namespace {

const QStringList kLocales = {QStringLiteral("uk"), QStringLiteral("us"), QStringLiteral("system")};

Error usageError(const QString& why) {
    return makeError(err::kInvalidProcedureCall, why, QStringLiteral("orlo-desk"));
}

QString envText(const QProcessEnvironment& env, const char* name) {
    return env.value(QString::fromLatin1(name));
}

}  // namespace

Result<DeskOptions> DeskOptions::parse(const QStringList& arguments,
                                       const QProcessEnvironment& environment) {
    DeskOptions o;
    // Options that take a value, by name; "--name=value" works as well.
    const QStringList valued = {QStringLiteral("--appdir"),  QStringLiteral("--registry"),
                                QStringLiteral("--profile"), QStringLiteral("--store"),
                                QStringLiteral("--locale"),  QStringLiteral("--db")};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        QString value;
        bool hasValue = false;
        if (const qsizetype eq = name.indexOf(u'='); name.startsWith(u"--") && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            hasValue = true;
        }
        if (name == u"--automation") {
            o.automation = true;
            continue;
        }
        if (name == u"--help" || name == u"-h") {
            o.help = true;
            continue;
        }
        if (!valued.contains(name)) {
            return usageError(QStringLiteral("unknown option \"%1\"").arg(arguments[i]));
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                return usageError(QStringLiteral("%1 needs a value").arg(name));
            }
            value = arguments[++i];
        }
        if (name == u"--appdir") {
            o.appDir = value;
        } else if (name == u"--registry") {
            o.registryFile = value;
        } else if (name == u"--profile") {
            o.profile = value;
        } else if (name == u"--db") {
            o.database = value;
        } else if (name == u"--store") {
            o.stores << value;
        } else {
            o.locale = value;
        }
    }
    if (o.appDir.isEmpty()) {
        o.appDir = envText(environment, kAppDirVariable);
    }
    if (o.appDir.isEmpty()) {
        o.appDir = QDir::currentPath();
    }
    o.appDir = QDir(o.appDir).absolutePath();
    if (o.registryFile.isEmpty()) {
        o.registryFile = envText(environment, kRegistryVariable);
    }
    if (o.profile.isEmpty()) {
        o.profile = envText(environment, kProfileVariable);
    }
    if (o.profile.isEmpty()) {
        o.profile = QString::fromUtf16(kDefaultProfile);
    }
    if (o.profile.contains(u'\\')) {
        return usageError(QStringLiteral("a profile name cannot contain \"\\\""));
    }
    if (o.stores.isEmpty()) {
        o.stores = envText(environment, kStoresVariable).split(u':', Qt::SkipEmptyParts);
    }
    for (QString& store : o.stores) {
        store = QDir(store).absolutePath();
    }
    if (o.database.isEmpty()) {
        o.database = envText(environment, kDatabaseVariable);
    }
    if (o.locale.isEmpty()) {
        o.locale = envText(environment, kLocaleVariable);
    }
    if (o.locale.isEmpty()) {
        o.locale = QStringLiteral("system");
    }
    if (!kLocales.contains(o.locale)) {
        return usageError(QStringLiteral("unknown locale \"%1\" (uk, us or system)").arg(o.locale));
    }
    return o;
}

QString DeskOptions::usage() {
    return QStringLiteral(
        "usage: orlo-desk [--appdir DIR] [--registry FILE] [--profile NAME] [--store PATH]...\n"
        "                 [--locale uk|us|system] [--db LOCATION] [--automation]\n"
        "  --appdir DIR      application folder (ORLO_APPDIR; default: the current folder)\n"
        "  --registry FILE   per-user settings file (ORLO_REGISTRY_FILE)\n"
        "  --profile NAME    profile: the stores the desk opens (ORLO_PROFILE; default Orlo)\n"
        "  --store PATH      open this store too and keep it in the profile (ORLO_STORES,\n"
        "                    paths separated by ':')\n"
        "  --locale L        regional settings: uk, us or system (ORLO_LOCALE)\n"
        "  --db LOCATION     the shared database for this start only, a file or a\n"
        "                    postgresql:// URI; the saved setting is kept (ORLO_DB)\n"
        "  --automation      read JSON commands on stdin, one reply a line on stdout\n");
}

}  // namespace orlo::desk
