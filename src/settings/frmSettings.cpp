#include "settings/frmSettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace orlo::settings {

namespace {

QString text(const char16_t* t) {
    return QString::fromUtf16(t);
}

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QGroupBox* frame(QWidget* parent, const char* name, const char16_t* caption) {
    return named(new QGroupBox(text(caption), parent), name);
}

// A frame's help icon: a picture that opens the frame's help topic.
QToolButton* helpIcon(QWidget* parent, const char* name) {
    auto* icon = named(new QToolButton(parent), name);
    icon->setIcon(parent->style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    icon->setAutoRaise(true);
    icon->setToolTip(QStringLiteral("Click Here for help..."));
    icon->setCursor(Qt::PointingHandCursor);
    return icon;
}

QLabel* wrapped(QWidget* parent, const char* name, const char16_t* t) {
    auto* label = named(new QLabel(text(t), parent), name);
    label->setWordWrap(true);
    return label;
}

}  // namespace

frmSettings::frmSettings(AddinContext& ctx, HelpService& help)
    : QWidget(nullptr, Qt::Window), m_form(ctx, help) {
    setObjectName(text(kSettingsWindow));
    setWindowTitle(text(kSettingsCaption));
    setAttribute(Qt::WA_DeleteOnClose);

    QGroupBox* database = frame(this, "fraDatabase", u"Database Location:");
    auto* locationLabel =
        named(new QLabel(QStringLiteral("Specify the database location here -"), database),
              "lblDbLocation");
    m_location = named(new QLineEdit(database), "txtdblocation");
    auto* example = named(new QLabel(QStringLiteral("For Example: C:\\Program Files\\Patients.mdb  "
                                                    "OR  X:\\Shared Area\\Patients.mdb"),
                                     database),
                          "lblExample");
    auto* test = named(new QPushButton(QStringLiteral("Test Connection"), database), "cmdTestDSN");
    auto* databaseLayout = new QGridLayout(database);
    databaseLayout->addWidget(locationLabel, 0, 0, 1, 2);
    databaseLayout->addWidget(m_location, 1, 0);
    databaseLayout->addWidget(test, 1, 1);
    databaseLayout->addWidget(example, 2, 0, 1, 2);

    QGroupBox* network = frame(this, "fraNetwork", u"Network:");
    m_override = named(new QCheckBox(QStringLiteral("Override IP"), network), "chkRefresh");
    m_addressLabel =
        named(new QLabel(QStringLiteral("Manually set your IP:"), network), "lblsetrefresh");
    m_address = named(new QLineEdit(network), "txtRefreshRate");
    auto* port = named(new QLineEdit(text(kPeerPortText), network), "Text1");
    port->setReadOnly(true);
    port->setMaximumWidth(70);
    auto* networkLayout = new QHBoxLayout(network);
    networkLayout->addWidget(m_override);
    networkLayout->addWidget(m_addressLabel);
    networkLayout->addWidget(m_address, 1);
    networkLayout->addWidget(port);

    QGroupBox* compact = frame(this, "fraCompact", u"Compact Database:");
    auto* compactButton =
        named(new QPushButton(QStringLiteral("Compact Now..."), compact), "cmdCompact");
    auto* compactHelp = helpIcon(compact, "Picture3");
    auto* compactLayout = new QHBoxLayout(compact);
    compactLayout->addWidget(compactButton);
    compactLayout->addWidget(
        wrapped(compact, "lblCompact", u"Use this function to compact your Patients.mdb database."),
        1);
    compactLayout->addWidget(compactHelp);

    QGroupBox* resync = frame(this, "fraReSync", u"Database ReSync:");
    auto* resyncButton = named(new QPushButton(QStringLiteral("ReSync..."), resync), "cmdReSync");
    auto* resyncHelp = helpIcon(resync, "Picture2");
    auto* resyncLayout = new QHBoxLayout(resync);
    resyncLayout->addWidget(resyncButton);
    resyncLayout->addWidget(wrapped(resync, "lblReSync",
                                    u"Use this function to ReSync your Outlook folders with the "
                                    u"Patients.mdb database"),
                            1);
    resyncLayout->addWidget(resyncHelp);

    auto* ok = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    auto* cancel = named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel");
    m_apply = named(new QPushButton(QStringLiteral("Apply"), this), "cmdApply");
    auto* helpButton = named(new QPushButton(QStringLiteral("Help"), this), "cmdHelp");
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {ok, cancel, m_apply, helpButton}) {
        buttons->addWidget(b);
    }

    auto* layout = new QVBoxLayout(this);
    for (QGroupBox* f : {database, network, compact, resync}) {
        layout->addWidget(f);
    }
    layout->addLayout(buttons);
    setMinimumWidth(520);

    m_form.Form_Load([this] {
        m_location->setText(m_form.databaseLocation());
        m_address->setText(m_form.manualIp());
        m_override->setChecked(m_form.manualIpEnabled());
    });
    updateControls();

    connect(m_location, &QLineEdit::textChanged, this, [this](const QString& t) {
        m_form.txtdblocation_Change(t);
        updateControls();
    });
    connect(m_address, &QLineEdit::textChanged, this, [this](const QString& t) {
        m_form.txtRefreshRate_Change(t);
        updateControls();
    });
    connect(m_override, &QCheckBox::clicked, this, [this](bool checked) {
        m_form.chkRefresh_Click(checked);
        updateControls();
    });
    connect(m_apply, &QPushButton::clicked, this, [this] {
        m_form.cmdApply_Click();
        updateControls();
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        const bool closes = m_form.cmdOK_Click();
        updateControls();
        if (closes) {
            close();
        }
    });
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(helpButton, &QPushButton::clicked, this, [this] { m_form.cmdHelp_Click(); });
    connect(resyncHelp, &QToolButton::clicked, this, [this] { m_form.Picture2_Click(); });
    connect(compactHelp, &QToolButton::clicked, this, [this] { m_form.Picture3_Click(); });
    connect(test, &QPushButton::clicked, this, [this] { m_form.cmdTestDSN_Click(); });
    connect(resyncButton, &QPushButton::clicked, this, [this] { m_form.cmdReSync_Click(); });
    connect(compactButton, &QPushButton::clicked, this, [this] { m_form.cmdCompact_Click(); });

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

void frmSettings::updateControls() {
    m_apply->setEnabled(m_form.applyEnabled());
    m_addressLabel->setEnabled(m_form.addressEnabled());
    m_address->setEnabled(m_form.addressEnabled());
}

}  // namespace orlo::settings
