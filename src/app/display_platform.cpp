#include "app/display_platform.h"

namespace plumo {
namespace {

bool isSet(const char* value) { return value && *value; }

}  // namespace

DisplayPlatformChoice chooseDisplayPlatform(const std::function<const char*(const char*)>& getenv) {
    if (isSet(getenv("QT_QPA_PLATFORM"))) return {};  // the user's choice stands
    if (isSet(getenv("DISPLAY"))) return {"xcb", {}};
    const bool wayland = isSet(getenv("WAYLAND_DISPLAY"));
    return {{},
            wayland ? "plumo: 找不到 X 显示（DISPLAY 未设置）。小秘书需要 X11："
                      "请在 Wayland 会话中启用 XWayland。"
                    : "plumo: 找不到显示（DISPLAY 未设置），无法显示小秘书。"};
}

}  // namespace plumo
