#include "sync/UnloadLists.h"

#include <QFileInfo>
#include <QSaveFile>

#include "common/AddinContext.h"
#include "common/AddinFolders.h"
#include "host/HostErrors.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "platform/core/ErrorTrap.h"
#include "platform/ui/MessageBox.h"

namespace orlo::sync {

namespace {

struct UnloadList {
    const char16_t* fileName;
    const char16_t* folderName;
    const char16_t* property;
    const char16_t* missingText;
    const char16_t* missingLog;
    const char16_t* writeLog;
};

constexpr UnloadList kPatients{kPatientUnloadList,       kPatientsFolderName,
                               kPatientIdProperty,       kPatientUnloadMissingText,
                               kPatientUnloadMissingLog, kPatientUnloadWriteLog};
constexpr UnloadList kSchedules{kScheduleUnloadList,       kSchedulerFolderName,
                                kMileageProperty,          kScheduleUnloadMissingText,
                                kScheduleUnloadMissingLog, kScheduleUnloadWriteLog};

constexpr char kLineEnd[] = "\r\n";

Error fileError(long number, const QString& path, const QString& why) {
    return makeError(number,
                     QStringLiteral("The unload list %1 cannot be written: %2").arg(path, why),
                     QStringLiteral("Orlo"));
}

// The list's lines: each item's value in folder order. Only the one property
// is loaded per item (SetColumns), which reads the folder in a single pass.
Result<QByteArray> listLines(AddinContext& ctx, const UnloadList& list) {
    ORLO_TRY_ASSIGN(const std::shared_ptr<host::MAPIFolder> folder,
                    addinFolder(ctx.application, QString::fromUtf16(list.folderName)));
    const QString property = QString::fromUtf16(list.property);
    const std::shared_ptr<host::Items> items = folder->Items();
    items->SetColumns(property);
    QByteArray lines;
    for (const std::shared_ptr<host::Item>& item : *items) {
        if (!item) {
            return host::err::hostError(
                host::err::kItemDeleted,
                QStringLiteral("An item of the folder \"%1\" cannot be read.").arg(folder->Name()));
        }
        const Result<Variant> value = item->userProperty(property);
        if (value) {
            lines += value->text(ctx.locale).toUtf8();
        } else if (value.error().number != host::err::kPropertyNotFound) {
            return value.error();
        }
        lines += kLineEnd;
    }
    return lines;
}

Status replaceList(AddinContext& ctx, const UnloadList& list, const QString& path) {
    ORLO_TRY_ASSIGN(const QByteArray lines, listLines(ctx, list));
    // QSaveFile writes "UNLOADP.log.XXXXXX" beside the list and renames it
    // over the list on commit; until then the old list stands.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return fileError(err::kPathFileAccessError, path, file.errorString());
    }
    if (file.write(lines) != lines.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fileError(err::kPathFileAccessError, path, why);
    }
    if (!file.commit()) {
        return fileError(err::kPathFileAccessError, path, file.errorString());
    }
    return okStatus();
}

Status writeUnloadList(AddinContext& ctx, const UnloadList& list) {
    const QString path = ctx.appFolder.path(QString::fromUtf16(list.fileName));
    if (!QFileInfo::exists(path)) {
        ctx.messageBoxes.show(QString::fromUtf16(list.missingText), MsgButtons::OK,
                              MsgIcon::Critical, QString::fromUtf16(kUnloadListErrorTitle));
        ignoreError(ctx.log().WriteErrorLog(QString::fromUtf16(list.missingLog)),
                    "nobody is left to tell when the log cannot be written either");
        return makeError(err::kFileNotFound, QString::fromUtf16(list.missingText),
                         QStringLiteral("Orlo"));
    }
    const Status replaced = replaceList(ctx, list, path);
    if (!replaced) {
        // The main window is closing: the caller passes over the failure, so
        // the log is where it is kept (and a log that fails too has nobody
        // left to tell).
        ErrorTrap::resumeNext().step([&] {
            return ctx.log().WriteErrorLog(QString::fromUtf16(list.writeLog) +
                                           replaced.error().description);
        });
    }
    return replaced;
}

}  // namespace

Status WritePatientUnloadList(AddinContext& context) {
    return writeUnloadList(context, kPatients);
}

Status WriteScheduleUnloadList(AddinContext& context) {
    return writeUnloadList(context, kSchedules);
}

}  // namespace orlo::sync
