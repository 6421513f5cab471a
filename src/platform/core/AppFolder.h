#pragma once
// The application folder: the folder the add-in library was loaded from,
// which holds PST/, META/, logs/, Help/ and Database/. The system names its
// files like "\META\UNLOADP.log"; path() maps such a name into the folder.

#include <QString>

namespace orlo {

class AppFolder {
public:
    explicit AppFolder(QString root);

    // The folder that holds the shared library containing `address`
    // (any function or object of that library).
    static AppFolder ofLibraryContaining(const void* address);

    const QString& root() const { return m_root; }
    // "\META\UNLOADP.log" or "META/UNLOADP.log" -> "<root>/META/UNLOADP.log".
    QString path(const QString& systemName) const;

private:
    QString m_root;
};

}  // namespace orlo
