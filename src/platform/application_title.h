#pragma once

#include <QString>

namespace plumo {

// The program's title: the caption of its message boxes, its tray icon's hint, the name
// of its autostart entry.
inline const QString kApplicationTitle = QStringLiteral("Plumo小秘书");

}  // namespace plumo
