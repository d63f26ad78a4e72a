#pragma once

class QRegion;
class QWidget;

namespace plumo {

// Cuts a top-level window to `deviceShape`, given in the window's device pixels from its
// top-left corner. QWidget::setMask takes window pixels, so at more than one device pixel
// per pixel its edge is blocky; this one follows a picture drawn for the device pixels.
// Makes the window's native window if it has none yet. Returns false where the window
// system takes no such shape (another platform than X, or no Shape extension): the mask
// set with QWidget::setMask then stands.
bool setDevicePixelShape(QWidget* window, const QRegion& deviceShape);

}  // namespace plumo
