#include "addin/frmAbout.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "common/AddinContext.h"

namespace orlo::addin {

frmAbout::frmAbout(const AddinContext& ctx, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QString::fromUtf16(kAboutTitle));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* name = new QLabel(QStringLiteral("Orlo"), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    name->setFont(big);
    auto* about = new QLabel(
        QStringLiteral("Patient records and appointment recall for the clinic's front desk."),
        this);
    auto* version =
        new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(ORLO_VERSION)), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* database = new QLabel(
        QStringLiteral("Database in use:\n%1")
            .arg(ctx.DbLocation.isEmpty() ? QStringLiteral("(none set)") : ctx.DbLocation),
        this);
    database->setObjectName(QStringLiteral("lblDatabase"));
    database->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    for (QWidget* w : std::initializer_list<QWidget*>{name, about, version, database}) {
        layout->addWidget(w);
    }
    layout->addSpacing(8);
    layout->addWidget(buttons);
}

}  // namespace orlo::addin
