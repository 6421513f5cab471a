#include "addin/MenuFaces.h"

#include <QBuffer>
#include <QFile>
#include <QImage>

namespace orlo::addin {

namespace {

FacePair loadPair(const QString& resource) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    FacePair pair;
    pair.picture = file.readAll();
    const QImage image = QImage::fromData(pair.picture).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) {
        return {};
    }
    QImage mask(image.size(), QImage::Format_Mono);
    mask.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            mask.setPixel(x, y, qAlpha(image.pixel(x, y)) >= 128 ? 1 : 0);
        }
    }
    QBuffer out(&pair.mask);
    out.open(QIODevice::WriteOnly);
    if (!mask.save(&out, "PNG")) {
        return {};
    }
    return pair;
}

}  // namespace

MenuFaces MenuFaces::load() {
    return MenuFaces{loadPair(QStringLiteral(":/orlo/faces/report.png")),
                     loadPair(QStringLiteral(":/orlo/faces/settings.png"))};
}

}  // namespace orlo::addin
