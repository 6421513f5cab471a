#include "platform/ui/HelpService.h"

#include <QDir>
#include <QFileInfo>

namespace orlo {

Result<QString> helpTopicFile(const QString& helpFolder, int context) {
    const QString file = QDir(helpFolder).filePath(QString::number(context) + u".html");
    if (!QFileInfo(file).isFile()) {
        return makeError(err::kFileNotFound,
                         QStringLiteral("The help topic %1 could not be found (%2).")
                             .arg(context)
                             .arg(QDir::toNativeSeparators(file)),
                         QStringLiteral("Orlo Help"));
    }
    return file;
}

}  // namespace orlo
