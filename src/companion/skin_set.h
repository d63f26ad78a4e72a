#pragma once

// The companion's skins: the five PNG pictures she keeps for the whole run and the frames
// of the blinking eyes, read from the program folder's "skin/" with our own decoders. A file
// that cannot be read leaves its picture empty and adds a line naming the file and why.

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

#include "companion/picture_frame.h"

namespace plumo {

class SkinSet {
public:
    // Reads every skin of `skinFolder` (ends with '/'), replacing what was read before.
    void load(const QString& skinFolder);

    QImage pngg1, pngg2, pngspop, pngbpop, pngmenu;
    std::vector<PictureFrame> eyeFrames;  // "i.gif", in playing order
    QSize eyeSize;                        // the GIF's screen size; empty when unread

    // One line per file that could not be read, naming it and what is wrong with it.
    const QStringList& errors() const { return errors_; }

private:
    QImage loadPng(const QString& path);

    QStringList errors_;
};

}  // namespace plumo
