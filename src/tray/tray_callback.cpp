#include "tray/tray_callback.h"

namespace plumo {

std::vector<TrayCallbackCode> callbackCodesFor(TrayActivation activation) {
    using C = TrayCallbackCode;
    switch (activation) {
        case TrayActivation::Click:
            return {C::LeftButtonDown, C::LeftButtonUp};
        case TrayActivation::DoubleClick:
            return {C::LeftDoubleClick};
        case TrayActivation::ContextRequest:
            return {C::RightButtonDown, C::RightButtonUp};
        case TrayActivation::MiddleClick:
            return {C::MiddleButtonDown, C::MiddleButtonUp};
        case TrayActivation::BalloonClick:
            return {C::BalloonClicked};
    }
    return {};
}

ShiftFlag shiftFlagOf(TMouseButton button) {
    switch (button) {
        case TMouseButton::mbLeft:
            return ssLeft;
        case TMouseButton::mbRight:
            return ssRight;
        case TMouseButton::mbMiddle:
            return ssMiddle;
    }
    return ssLeft;
}

std::vector<TrayStepCall> TrayCallbackRules::stepsFor(TrayCallbackCode code,
                                                      const TrayCallbackContext& context) {
    using C = TrayCallbackCode;
    using S = TrayStep;
    using B = TMouseButton;
    std::vector<TrayStepCall> steps;
    switch (code) {
        case C::MouseMove:
            steps.push_back({S::RaiseMouseMove});
            break;
        case C::LeftButtonDown:
            steps.push_back({S::RaiseMouseDown, B::mbLeft});
            clickArmed_ = true;
            break;
        case C::LeftButtonUp:
            if (context.leftPopup && context.hasPopupMenu) steps.push_back({S::ShowPopupMenu});
            if (clickArmed_ && context.hasClickHandler) {
                steps.push_back({S::RaiseClick});
                clickArmed_ = false;
            }
            steps.push_back({S::RaiseMouseUp, B::mbLeft});
            break;
        case C::LeftDoubleClick:
        case C::RightDoubleClick:
        case C::MiddleDoubleClick:
            if (context.restoreOnDoubleClick) steps.push_back({S::RestoreMainWindow});
            steps.push_back({S::RaiseDblClick});
            break;
        case C::RightButtonDown:
            steps.push_back({S::RaiseMouseDown, B::mbRight});
            break;
        case C::RightButtonUp:
            steps.push_back({S::RaiseMouseUp, B::mbRight});
            if (context.hasPopupMenu) steps.push_back({S::ShowPopupMenu});
            break;
        case C::MiddleButtonDown:
            steps.push_back({S::RaiseMouseDown, B::mbMiddle});
            break;
        case C::MiddleButtonUp:
            steps.push_back({S::RaiseMouseUp, B::mbMiddle});
            break;
        case C::BalloonShown:
            steps.push_back({S::RaiseBalloonHintShow});
            break;
        case C::BalloonHidden:
            steps.push_back({S::ClearBalloonRequest});
            steps.push_back({S::RaiseBalloonHintHide});
            break;
        case C::BalloonTimedOut:
            steps.push_back({S::ClearBalloonRequest});
            steps.push_back({S::RaiseBalloonHintTimeout});
            break;
        case C::BalloonClicked:
            // A clicked balloon is gone too; clearing the request keeps a later modify of the
            // icon from bringing the same balloon back.
            steps.push_back({S::ClearBalloonRequest});
            steps.push_back({S::RaiseBalloonHintClick});
            break;
    }
    return steps;
}

}  // namespace plumo
