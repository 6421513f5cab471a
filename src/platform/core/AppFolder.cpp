#include "platform/core/AppFolder.h"

#include <dlfcn.h>

#include <QDir>
#include <QFileInfo>

namespace orlo {

AppFolder::AppFolder(QString root) : m_root(QDir::cleanPath(std::move(root))) {}

AppFolder AppFolder::ofLibraryContaining(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) != 0 && info.dli_fname != nullptr) {
        return AppFolder(QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath());
    }
    return AppFolder(QDir::currentPath());
}

QString AppFolder::path(const QString& systemName) const {
    QString relative = systemName;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (relative.startsWith(QLatin1Char('/'))) {
        relative.remove(0, 1);
    }
    return m_root + QLatin1Char('/') + relative;
}

}  // namespace orlo
