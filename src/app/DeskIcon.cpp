#include "app/DeskIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace orlo::desk {

namespace {

const QColor kTeal(0x00, 0x89, 0x7b);
const QColor kNavy(0x2c, 0x3e, 0x50);

QPixmap drawDesk(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(kTeal);
    p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.2, s * 0.2);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, s * 0.11));
    p.drawEllipse(QRectF(s * 0.2, s * 0.2, s * 0.6, s * 0.6));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(s * 0.44, s * 0.34, s * 0.12, s * 0.32));
    p.drawRect(QRectF(s * 0.34, s * 0.44, s * 0.32, s * 0.12));
    return pm;
}

QPixmap drawFolder(int size, host::FolderKind kind) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    switch (kind) {
        case host::FolderKind::Contacts: {
            p.setPen(Qt::NoPen);
            p.setBrush(kTeal);
            p.drawEllipse(QRectF(s * 0.32, s * 0.08, s * 0.36, s * 0.36));
            QPainterPath body;
            body.addRoundedRect(QRectF(s * 0.14, s * 0.5, s * 0.72, s * 0.44), s * 0.2, s * 0.2);
            p.drawPath(body);
            break;
        }
        case host::FolderKind::Calendar: {
            p.setPen(QPen(kNavy, std::max(1.0, s * 0.06)));
            p.setBrush(Qt::white);
            p.drawRoundedRect(QRectF(s * 0.1, s * 0.16, s * 0.8, s * 0.74), s * 0.08, s * 0.08);
            p.fillRect(QRectF(s * 0.1, s * 0.16, s * 0.8, s * 0.2), kNavy);
            p.fillRect(QRectF(s * 0.3, s * 0.5, s * 0.16, s * 0.14), kTeal);
            p.fillRect(QRectF(s * 0.56, s * 0.5, s * 0.16, s * 0.14), kTeal);
            break;
        }
        case host::FolderKind::Mail: {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xf0, 0xc0, 0x5a));
            p.drawRoundedRect(QRectF(s * 0.08, s * 0.2, s * 0.4, s * 0.2), s * 0.05, s * 0.05);
            p.drawRoundedRect(QRectF(s * 0.08, s * 0.3, s * 0.84, s * 0.56), s * 0.06, s * 0.06);
            break;
        }
    }
    return pm;
}

}  // namespace

QIcon deskIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(drawDesk(size));
    }
    return icon;
}

QIcon folderIcon(host::FolderKind kind) {
    QIcon icon;
    for (const int size : {16, 24, 32}) {
        icon.addPixmap(drawFolder(size, kind));
    }
    return icon;
}

}  // namespace orlo::desk
