#pragma once

// The companion's skins: the five PNG pictures she keeps for the whole run and the frames
// of the blinking eyes, read from the program folder's "skin/" with our own decoders. A file
// that cannot be read leaves its picture empty and adds a line naming the file and why.
//
// For a screen with more than one device pixel per pixel each picture is taken from the
// file beside it named with "@2x" ("g1@2x", "i@2x.gif") where that file holds the same
// picture at twice the size: the picture then has a device pixel ratio of 2 and keeps its
// size in window pixels. Where there is no such file, or it holds another picture (an
// outfit of the user's own), the picture at one pixel per pixel stays. At one device pixel
// per pixel no "@2x" file is read.

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

#include "companion/picture_frame.h"

namespace plumo {

class SkinSet {
public:
    // Reads every skin of `skinFolder` (ends with '/') for a screen with `deviceRatio`
    // device pixels per pixel, replacing what was read before.
    void load(const QString& skinFolder, qreal deviceRatio = 1.0);

    QImage pngg1, pngg2, pngspop, pngbpop, pngmenu;
    std::vector<PictureFrame> eyeFrames;  // "i.gif", in playing order
    QSize eyeSize;                        // the GIF's screen size; empty when unread

    // One line per file that could not be read, naming it and what is wrong with it.
    const QStringList& errors() const { return errors_; }

private:
    QImage loadPng(const QString& path);
    void loadEyes(const QString& skinFolder, qreal deviceRatio);

    QStringList errors_;
};

}  // namespace plumo
