#include "companion/skin_set.h"

#include <QFileInfo>

#include "image/double_size.h"
#include "image/gif_decoder.h"
#include "image/png_decoder.h"
#include "image/qt_image.h"

namespace plumo {
namespace {

// Why a skin file could not be read, in words for the user.
QString describeSkinError(const QString& path, const ImageError& error) {
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("%1：文件不存在").arg(path);
    if (info.isDir()) return QStringLiteral("%1：这是一个文件夹，不是图片").arg(path);
    if (!info.isReadable()) return QStringLiteral("%1：没有读取权限").arg(path);
    return QStringLiteral("%1：图片已损坏或格式不对（%2）")
        .arg(path, QString::fromUtf8(error.what()));
}

std::vector<PictureFrame> framesOf(const GifAnimation& animation) {
    std::vector<PictureFrame> frames;
    for (const GifFrame& frame : animation.frames)
        frames.push_back({toQImage(frame.image), frame.delayMs});
    return frames;
}

// Puts the eye frames of `path`'s "@2x" animation in place of `frames` where it has as many
// frames, each shown as long and twice the size. Both outfits share the eyes; the frames,
// thin lines grown by a pixel at each size, are not compared by what they cover.
void takeDoubleSizeFrames(std::vector<PictureFrame>& frames, const QString& path) {
    const QString doubledPath = doubleSizeFile(path);
    if (!QFileInfo::exists(doubledPath)) return;
    try {
        std::vector<PictureFrame> doubled = framesOf(decodeGifFile(doubledPath.toStdString()));
        if (doubled.size() != frames.size()) return;
        for (std::size_t i = 0; i < frames.size(); ++i)
            if (doubled[i].delayMs != frames[i].delayMs ||
                doubled[i].image.size() != frames[i].image.size() * 2)
                return;
        for (PictureFrame& frame : doubled) frame.image.setDevicePixelRatio(2.0);
        frames = std::move(doubled);
    } catch (const ImageError&) {
    }
}

}  // namespace

QImage SkinSet::loadPng(const QString& path) {
    try {
        return toQImage(decodePngFile(path.toStdString()));
    } catch (const ImageError& error) {
        errors_ << describeSkinError(path, error);
        return QImage();
    }
}

void SkinSet::load(const QString& skinFolder, qreal deviceRatio) {
    errors_.clear();
    // The outfit and bubble files carry no extension and are always read as PNG.
    pngg1 = loadPng(skinFolder + QStringLiteral("g1"));
    pngg2 = loadPng(skinFolder + QStringLiteral("g2"));
    pngspop = loadPng(skinFolder + QStringLiteral("spop"));
    pngbpop = loadPng(skinFolder + QStringLiteral("bpop"));
    pngmenu = loadPng(skinFolder + QStringLiteral("menu"));
    if (deviceRatio > 1.0) {
        const std::pair<QImage*, const char*> pictures[] = {{&pngg1, "g1"},
                                                            {&pngg2, "g2"},
                                                            {&pngspop, "spop"},
                                                            {&pngbpop, "bpop"},
                                                            {&pngmenu, "menu"}};
        for (const auto& [picture, name] : pictures) {
            const QImage doubled =
                readDoubleSizePicture(skinFolder + QString::fromLatin1(name), *picture);
            if (!doubled.isNull()) *picture = doubled;
        }
    }
    loadEyes(skinFolder, deviceRatio);
}

void SkinSet::loadEyes(const QString& skinFolder, qreal deviceRatio) {
    eyeFrames.clear();
    eyeSize = QSize();
    const QString eyes = skinFolder + QStringLiteral("i.gif");
    try {
        const GifAnimation animation = decodeGifFile(eyes.toStdString());
        eyeFrames = framesOf(animation);
        eyeSize = QSize(animation.width, animation.height);
    } catch (const ImageError& error) {
        errors_ << describeSkinError(eyes, error);
        return;
    }
    if (deviceRatio > 1.0) takeDoubleSizeFrames(eyeFrames, eyes);
}

}  // namespace plumo
