#include "search/SearchMessages.h"

#include "platform/ui/MessageBox.h"

namespace orlo::search {

namespace {

QString databaseTitle(long number) {
    return QStringLiteral("Orlo Database Error #") + QString::number(number);
}

}  // namespace

void showErrorBox(MessageBoxService& boxes, const QString& title, const Error& error) {
    boxes.show(QString::number(error.number) + QStringLiteral("\r\n") + error.description,
               MsgButtons::OK, MsgIcon::Critical, title);
}

void showButtonError(MessageBoxService& boxes, const Error& error, NamedErrors named,
                     const QString& otherTitle) {
    const char16_t* text = nullptr;
    if (named.noRecords && error.number == err::kNoCurrentRecord) {
        text = kNoRecordsText;
    } else if (named.appointments && error.number == err::kReferencedRecord) {
        text = kHasAppointmentsText;
    } else if (named.shutdown && (error.number == err::kOperationNotAllowed ||
                                  error.number == err::kObjectNotAvailable)) {
        text = kFailedShutdownText;
    }
    if (text == nullptr) {
        showErrorBox(boxes, otherTitle, error);
        return;
    }
    boxes.show(QString::fromUtf16(text), MsgButtons::OK, MsgIcon::Critical,
               databaseTitle(error.number));
}

Error noSelectionError(const QString& what) {
    return makeError(err::kObjectNotSet, QStringLiteral("No %1 is selected in the list.").arg(what),
                     QStringLiteral("Orlo"));
}

Error noCurrentRecordError() {
    return makeError(err::kNoCurrentRecord,
                     QStringLiteral("Either BOF or EOF is True, or the current record has been "
                                    "deleted. Requested operation requires a current record."),
                     QStringLiteral("Orlo"));
}

}  // namespace orlo::search
