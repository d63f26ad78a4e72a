#include "companion/skin_set.h"

#include <QFileInfo>

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

}  // namespace

QImage SkinSet::loadPng(const QString& path) {
    try {
        return toQImage(decodePngFile(path.toStdString()));
    } catch (const ImageError& error) {
        errors_ << describeSkinError(path, error);
        return QImage();
    }
}

void SkinSet::load(const QString& skinFolder) {
    errors_.clear();
    // The outfit and bubble files carry no extension and are always read as PNG.
    pngg1 = loadPng(skinFolder + QStringLiteral("g1"));
    pngg2 = loadPng(skinFolder + QStringLiteral("g2"));
    pngspop = loadPng(skinFolder + QStringLiteral("spop"));
    pngbpop = loadPng(skinFolder + QStringLiteral("bpop"));
    pngmenu = loadPng(skinFolder + QStringLiteral("menu"));

    eyeFrames.clear();
    eyeSize = QSize();
    const QString eyes = skinFolder + QStringLiteral("i.gif");
    try {
        const GifAnimation animation = decodeGifFile(eyes.toStdString());
        for (const GifFrame& frame : animation.frames)
            eyeFrames.push_back({toQImage(frame.image), frame.delayMs});
        eyeSize = QSize(animation.width, animation.height);
    } catch (const ImageError& error) {
        errors_ << describeSkinError(eyes, error);
    }
}

}  // namespace plumo
