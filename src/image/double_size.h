#pragma once

// Pictures drawn a second time at twice their size, for screens with two device pixels per
// pixel, lie beside them in a file named with "@2x" before the extension. They are extras:
// where one is missing, unreadable or not the same picture, the picture itself is used.

#include <QImage>
#include <QString>

namespace plumo {

// The file beside `path` that holds its picture at twice the size: "skin/g1" gives
// "skin/g1@2x", "skin/i.gif" gives "skin/i@2x.gif".
QString doubleSizeFile(const QString& path);

// Whether `doubled` is `picture` drawn at twice its size: exactly twice as wide and high,
// and alike in what it covers and in its mean colour there. A doubled picture that belongs
// to another picture (an outfit file replaced by the user's own) is not taken for it.
bool isDoubleOf(const QImage& doubled, const QImage& picture);

// The PNG picture of `path`'s "@2x" file, with a device pixel ratio of 2, where it is
// `picture` at twice the size; a null image otherwise.
QImage readDoubleSizePicture(const QString& path, const QImage& picture);

}  // namespace plumo
