#include "tray/tray_callback.h"

#include <gtest/gtest.h>

namespace plumo {
namespace {

using C = TrayCallbackCode;
using S = TrayStep;
using B = TMouseButton;
using Steps = std::vector<TrayStepCall>;

TEST(CallbackCodesFor, EachActivationIsThePressAndReleaseItStandsFor) {
    EXPECT_EQ(callbackCodesFor(TrayActivation::Click),
              (std::vector<C>{C::LeftButtonDown, C::LeftButtonUp}));
    EXPECT_EQ(callbackCodesFor(TrayActivation::DoubleClick), (std::vector<C>{C::LeftDoubleClick}));
    EXPECT_EQ(callbackCodesFor(TrayActivation::ContextRequest),
              (std::vector<C>{C::RightButtonDown, C::RightButtonUp}));
    EXPECT_EQ(callbackCodesFor(TrayActivation::MiddleClick),
              (std::vector<C>{C::MiddleButtonDown, C::MiddleButtonUp}));
    EXPECT_EQ(callbackCodesFor(TrayActivation::BalloonClick), (std::vector<C>{C::BalloonClicked}));
}

TEST(TrayCallbackRules, PressThenReleaseIsOneClick) {
    TrayCallbackRules rules;
    const TrayCallbackContext context{.hasClickHandler = true};
    EXPECT_EQ(rules.stepsFor(C::LeftButtonDown, context), (Steps{{S::RaiseMouseDown, B::mbLeft}}));
    EXPECT_TRUE(rules.clickArmed());
    EXPECT_EQ(rules.stepsFor(C::LeftButtonUp, context),
              (Steps{{S::RaiseClick}, {S::RaiseMouseUp, B::mbLeft}}));
    EXPECT_FALSE(rules.clickArmed());
    // A second release without a press is no click.
    EXPECT_EQ(rules.stepsFor(C::LeftButtonUp, context), (Steps{{S::RaiseMouseUp, B::mbLeft}}));
}

TEST(TrayCallbackRules, ReleaseWithoutPressIsNoClick) {
    TrayCallbackRules rules;
    const TrayCallbackContext context{.hasClickHandler = true};
    EXPECT_EQ(rules.stepsFor(C::LeftButtonUp, context), (Steps{{S::RaiseMouseUp, B::mbLeft}}));
    // Right and middle presses do not arm it either.
    rules.stepsFor(C::RightButtonDown, context);
    rules.stepsFor(C::MiddleButtonDown, context);
    EXPECT_FALSE(rules.clickArmed());
}

TEST(TrayCallbackRules, WithoutAClickHandlerThePressStaysArmed) {
    TrayCallbackRules rules;
    rules.stepsFor(C::LeftButtonDown, {});
    EXPECT_EQ(rules.stepsFor(C::LeftButtonUp, {}), (Steps{{S::RaiseMouseUp, B::mbLeft}}));
    EXPECT_TRUE(rules.clickArmed());
    const TrayCallbackContext withHandler{.hasClickHandler = true};
    EXPECT_EQ(rules.stepsFor(C::LeftButtonUp, withHandler),
              (Steps{{S::RaiseClick}, {S::RaiseMouseUp, B::mbLeft}}));
}

TEST(TrayCallbackRules, LeftPopupShowsTheMenuBeforeTheClickOnlyWithAMenu) {
    TrayCallbackRules rules;
    TrayCallbackContext context{.leftPopup = true, .hasPopupMenu = true, .hasClickHandler = true};
    rules.stepsFor(C::LeftButtonDown, context);
    EXPECT_EQ(rules.stepsFor(C::LeftButtonUp, context),
              (Steps{{S::ShowPopupMenu}, {S::RaiseClick}, {S::RaiseMouseUp, B::mbLeft}}));

    context.hasPopupMenu = false;
    rules.stepsFor(C::LeftButtonDown, context);
    EXPECT_EQ(rules.stepsFor(C::LeftButtonUp, context),
              (Steps{{S::RaiseClick}, {S::RaiseMouseUp, B::mbLeft}}));
}

TEST(TrayCallbackRules, RightReleaseRaisesMouseUpThenShowsTheMenu) {
    TrayCallbackRules rules;
    const TrayCallbackContext withMenu{.hasPopupMenu = true};
    EXPECT_EQ(rules.stepsFor(C::RightButtonDown, withMenu),
              (Steps{{S::RaiseMouseDown, B::mbRight}}));
    EXPECT_EQ(rules.stepsFor(C::RightButtonUp, withMenu),
              (Steps{{S::RaiseMouseUp, B::mbRight}, {S::ShowPopupMenu}}));
    EXPECT_EQ(rules.stepsFor(C::RightButtonUp, {}), (Steps{{S::RaiseMouseUp, B::mbRight}}));
    EXPECT_EQ(rules.stepsFor(C::MiddleButtonDown, withMenu),
              (Steps{{S::RaiseMouseDown, B::mbMiddle}}));
    EXPECT_EQ(rules.stepsFor(C::MiddleButtonUp, withMenu), (Steps{{S::RaiseMouseUp, B::mbMiddle}}));
}

TEST(TrayCallbackRules, EveryDoubleClickRestoresBeforeTheEventWhenAskedTo) {
    TrayCallbackRules rules;
    for (C code : {C::LeftDoubleClick, C::RightDoubleClick, C::MiddleDoubleClick}) {
        EXPECT_EQ(rules.stepsFor(code, {.restoreOnDoubleClick = true}),
                  (Steps{{S::RestoreMainWindow}, {S::RaiseDblClick}}));
        EXPECT_EQ(rules.stepsFor(code, {.restoreOnDoubleClick = false}),
                  (Steps{{S::RaiseDblClick}}));
    }
}

TEST(TrayCallbackRules, BalloonEndsClearTheRequestBeforeTheirEvent) {
    TrayCallbackRules rules;
    EXPECT_EQ(rules.stepsFor(C::BalloonShown, {}), (Steps{{S::RaiseBalloonHintShow}}));
    EXPECT_EQ(rules.stepsFor(C::BalloonHidden, {}),
              (Steps{{S::ClearBalloonRequest}, {S::RaiseBalloonHintHide}}));
    EXPECT_EQ(rules.stepsFor(C::BalloonTimedOut, {}),
              (Steps{{S::ClearBalloonRequest}, {S::RaiseBalloonHintTimeout}}));
    EXPECT_EQ(rules.stepsFor(C::BalloonClicked, {}),
              (Steps{{S::ClearBalloonRequest}, {S::RaiseBalloonHintClick}}));
    EXPECT_EQ(rules.stepsFor(C::MouseMove, {}), (Steps{{S::RaiseMouseMove}}));
}

TEST(ShiftFlagOf, NamesTheButton) {
    EXPECT_EQ(shiftFlagOf(B::mbLeft), ssLeft);
    EXPECT_EQ(shiftFlagOf(B::mbRight), ssRight);
    EXPECT_EQ(shiftFlagOf(B::mbMiddle), ssMiddle);
}

}  // namespace
}  // namespace plumo
