#pragma once
// Views: the views of a folder. The desk has one view per folder; the
// add-in only holds on to the collection.

#include <QString>

namespace orlo::host {

class Views {
public:
    explicit Views(QString folderName) : m_folderName(std::move(folderName)) {}

    int Count() const { return 1; }
    QString folderName() const { return m_folderName; }

private:
    QString m_folderName;
};

}  // namespace orlo::host
