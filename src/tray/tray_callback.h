#pragma once

// What the notification-area service reports back, and what the tray component does with each
// report. Plain C++ so the order of events and the click-armed rule can be checked without a
// desktop.

#include <cstdint>
#include <vector>

namespace plumo {

// The mouse and balloon codes of the tray callback. The numbers only give each event its
// identity.
enum class TrayCallbackCode : unsigned {
    MouseMove = 512,
    LeftButtonDown = 513,
    LeftButtonUp = 514,
    LeftDoubleClick = 515,
    RightButtonDown = 516,
    RightButtonUp = 517,
    RightDoubleClick = 518,
    MiddleButtonDown = 519,
    MiddleButtonUp = 520,
    MiddleDoubleClick = 521,
    BalloonShown = 1026,
    BalloonHidden = 1027,
    BalloonTimedOut = 1028,
    BalloonClicked = 1029,
};

// The coarser events a desktop tray protocol offers.
enum class TrayActivation { Click, DoubleClick, ContextRequest, MiddleClick, BalloonClick };

// The callback codes one activation stands for, in the order they are delivered: a click is a
// left press then a left release, a context request a right press then release, and so on.
std::vector<TrayCallbackCode> callbackCodesFor(TrayActivation activation);

// A message to the tray component from the service or the session.
struct TrayMessage {
    enum class Kind {
        Callback,         // `code` holds the mouse or balloon event
        HostRestarted,    // the tray host came back; icons it held are gone
        QueryEndSession,  // the session asks whether it may end
        EndSession,       // the session is ending
    };
    Kind kind = Kind::Callback;
    TrayCallbackCode code = TrayCallbackCode::MouseMove;

    static TrayMessage callback(TrayCallbackCode c) { return {Kind::Callback, c}; }
    static TrayMessage of(Kind k) { return {k, TrayCallbackCode::MouseMove}; }
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Modifier keys and mouse buttons held during a mouse event.
enum ShiftFlag : std::uint8_t {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
};
using TShiftState = std::uint8_t;

ShiftFlag shiftFlagOf(TMouseButton button);

// One thing the tray component does in answer to a callback code.
enum class TrayStep {
    RaiseMouseMove,
    RaiseMouseDown,
    RaiseMouseUp,
    RaiseClick,
    RaiseDblClick,
    RestoreMainWindow,
    ShowPopupMenu,
    ClearBalloonRequest,
    RaiseBalloonHintShow,
    RaiseBalloonHintHide,
    RaiseBalloonHintTimeout,
    RaiseBalloonHintClick,
};

struct TrayStepCall {
    TrayStep step;
    TMouseButton button = TMouseButton::mbLeft;  // for mouse down and up
    bool operator==(const TrayStepCall&) const = default;
};

// What the steps depend on besides the code itself.
struct TrayCallbackContext {
    bool leftPopup = false;
    bool hasPopupMenu = false;
    bool hasClickHandler = false;
    bool restoreOnDoubleClick = true;
};

// Turns callback codes into steps and keeps the click-armed flag: a left press arms it, and a
// left release raises the click (and disarms) only when armed, so a release whose press went
// elsewhere is no click.
class TrayCallbackRules {
public:
    std::vector<TrayStepCall> stepsFor(TrayCallbackCode code, const TrayCallbackContext& context);
    bool clickArmed() const { return clickArmed_; }

private:
    bool clickArmed_ = false;
};

}  // namespace plumo
