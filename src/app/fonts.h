#pragma once

namespace plumo {

// Maps the font family names the windows ask for ("宋体", "黑体", "MS Sans Serif", ...)
// onto faces installed here, so that Chinese text draws in a real CJK face.
void installFontSubstitutions();

}  // namespace plumo
