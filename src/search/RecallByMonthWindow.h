#pragma once
// RecallByMonthWindow: the monthly recall window (frmRecallbyMonth): the
// year box, the twelve months, the recalls' list and "&Print" (enabled
// once a month has been chosen), "&Refresh", "&Help" and "&Close".

#include <QWidget>

#include "search/RecallByMonth.h"

class QComboBox;
class QListWidget;
class QPushButton;

namespace orlo::search {

class SearchListView;

inline constexpr char16_t kRecallByMonthWindow[] = u"frmRecallbyMonth";

class RecallByMonthWindow final : public QWidget {
    Q_OBJECT
public:
    RecallByMonthWindow(SearchServices services, RecallByMonth::PrintMonth print);
    ~RecallByMonthWindow() override;

    RecallByMonth& form() { return m_form; }

private:
    void listChanged();

    RecallByMonth m_form;
    SearchListView* m_list = nullptr;
    QPushButton* m_print = nullptr;
};

}  // namespace orlo::search
