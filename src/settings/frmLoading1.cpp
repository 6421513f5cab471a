#include "settings/frmLoading1.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace orlo::settings {

frmLoading1::frmLoading1()
    // A title and nothing to click: no close, minimise or maximise button.
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmLoading1"));
    setWindowTitle(QString::fromUtf16(kLoadingCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setMinimumWidth(320);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    layout->addWidget(lblStatus);
    layout->addWidget(ProgressBar1);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

frmLoading1* frmLoading1::load() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return nullptr;
    }
    auto* window = new frmLoading1();
    window->show();
    return window;
}

void frmLoading1::setStatus(const QString& text) {
    lblStatus->setText(text);
}

void frmLoading1::setProgress(int value) {
    ProgressBar1->setValue(value);
}

QString frmLoading1::status() const {
    return lblStatus->text();
}

int frmLoading1::progress() const {
    return ProgressBar1->value();
}

void frmLoading1Close(QPointer<frmLoading1>& window) {
    if (window) {
        window->close();  // deletes itself
    }
    window.clear();
}

}  // namespace orlo::settings
