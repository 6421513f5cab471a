#pragma once
// frmLoading1: the small window "Updating Folders..." shown while the
// folders are brought up to date from the database, at start-up and on the
// settings dialog's resync. Pure feedback: a status label (lblStatus) and a
// bar from 0 to 100 (ProgressBar1) that the caller sets, no buttons. The
// work runs on the same thread; the window repaints when the work yields.
//
//   QPointer<frmLoading1> w = frmLoading1::load();   // null without widgets
//   w->setStatus(...); w->setProgress(50); ... frmLoading1Close(w);

#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace orlo::settings {

inline constexpr char16_t kLoadingCaption[] = u"Updating Folders...";

class frmLoading1 : public QWidget {
    Q_OBJECT
public:
    // Made, centred on the screen with the bar at 0, and shown modeless;
    // null in a process without a widget application (a headless test).
    static frmLoading1* load();

    void setStatus(const QString& text);
    void setProgress(int value);
    QString status() const;
    int progress() const;

private:
    frmLoading1();

    QLabel* lblStatus = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
};

// Unloads the window, if it is still there.
void frmLoading1Close(QPointer<frmLoading1>& window);

}  // namespace orlo::settings
