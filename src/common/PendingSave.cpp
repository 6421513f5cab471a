#include "common/PendingSave.h"

#include "common/AddinContext.h"
#include "host/HostErrors.h"
#include "host/Item.h"
#include "platform/ui/MessageBox.h"

namespace orlo {

bool hasPendingSave(const host::Item& item) {
    return item.propertyText(QString::fromUtf16(kPendingSaveProperty)) ==
           QString::fromUtf16(kPendingSaveValue);
}

Status setPendingSave(host::Item& item, bool pending) {
    const QString name = QString::fromUtf16(kPendingSaveProperty);
    if (pending == hasPendingSave(item)) {
        return okStatus();
    }
    if (!pending) {
        return item.setBoundValue(name, Variant(QString()));
    }
    return item.setBoundValue(name, Variant(QString::fromUtf16(kPendingSaveValue)));
}

void reportPendingSaveOnOpen(AddinContext& ctx, const QString& what) {
    const QString text =
        QStringLiteral(
            "The changes to this %1 are not yet in the shared database: its last save could "
            "not reach it.\r\rThe %1 is shown as it was typed. Save it again to store it.")
            .arg(what);
    ctx.messageBoxes.show(MessageBoxRequest{text, QString::fromUtf16(kPendingSaveTitle),
                                            MsgIcon::Exclamation, MsgButtons::OK});
}

Error pendingSaveRefusal(const QString& what) {
    return makeError(
        err::kOperationNotAllowed,
        QStringLiteral("%1 has changes not yet in the shared database; its own save comes first")
            .arg(what),
        QString::fromUtf16(host::err::kSource));
}

}  // namespace orlo
