#include "image/double_size.h"

#include <QFileInfo>
#include <cmath>

#include "image/png_decoder.h"
#include "image/qt_image.h"

namespace plumo {
namespace {

// What a picture covers, as a share of its pixels, and its mean colour there.
struct PictureSummary {
    double covered = 0;
    double red = 0, green = 0, blue = 0;
};

PictureSummary summaryOf(const QImage& picture) {
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32);
    PictureSummary summary;
    long long opaque = 0, red = 0, green = 0, blue = 0;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            if (qAlpha(row[x]) < 128) continue;
            ++opaque;
            red += qRed(row[x]);
            green += qGreen(row[x]);
            blue += qBlue(row[x]);
        }
    }
    const long long all = static_cast<long long>(pixels.width()) * pixels.height();
    if (all > 0) summary.covered = double(opaque) / double(all);
    if (opaque > 0) {
        summary.red = double(red) / double(opaque);
        summary.green = double(green) / double(opaque);
        summary.blue = double(blue) / double(opaque);
    }
    return summary;
}

}  // namespace

QString doubleSizeFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.isEmpty()) return path + QStringLiteral("@2x");
    return path.left(path.size() - suffix.size() - 1) + QStringLiteral("@2x.") + suffix;
}

bool isDoubleOf(const QImage& doubled, const QImage& picture) {
    if (picture.isNull() || doubled.size() != picture.size() * 2) return false;
    const PictureSummary one = summaryOf(picture);
    const PictureSummary two = summaryOf(doubled);
    // Edges drawn at another size differ by a few pixels; another picture differs more.
    const double kCoverTolerance = 0.02;
    const double kColourTolerance = 6.0;
    return std::abs(one.covered - two.covered) <= kCoverTolerance &&
           std::abs(one.red - two.red) <= kColourTolerance &&
           std::abs(one.green - two.green) <= kColourTolerance &&
           std::abs(one.blue - two.blue) <= kColourTolerance;
}

QImage readDoubleSizePicture(const QString& path, const QImage& picture) {
    const QString doubledPath = doubleSizeFile(path);
    if (!QFileInfo::exists(doubledPath)) return QImage();
    try {
        QImage doubled = toQImage(decodePngFile(doubledPath.toStdString()));
        if (!isDoubleOf(doubled, picture)) return QImage();
        doubled.setDevicePixelRatio(2.0);
        return doubled;
    } catch (const ImageError&) {
        return QImage();
    }
}

}  // namespace plumo
