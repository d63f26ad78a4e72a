#pragma once

// TXPMenu: the component that gives its owner window's pop-up menus a flat, owner-drawn
// look and paints flat overlays on the owner's buttons, edits, boxes and panels.
//
// Only what the owner holds when Active becomes true is styled; menus and controls made
// later keep the platform's look until Active is set again. A menu item (QAction) or a
// widget whose dynamic property "Tag" is 999 is never taken over.

#include <QFont>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "style/xp_colours.h"

class QAction;
class QMenu;
class QMenuBar;

namespace plumo {

class TControlSubClass;
class XPMenuStyle;

enum XPControl : std::uint16_t {
    xcMainMenu = 1 << 0,
    xcPopupMenu = 1 << 1,
    xcToolbar = 1 << 2,
    xcControlbar = 1 << 3,
    xcCombo = 1 << 4,
    xcEdit = 1 << 5,
    xcMaskEdit = 1 << 6,
    xcMemo = 1 << 7,
    xcRichEdit = 1 << 8,
    xcCheckBox = 1 << 9,
    xcRadioButton = 1 << 10,
    xcButton = 1 << 11,
    xcBitBtn = 1 << 12,
    xcSpeedButton = 1 << 13,
    xcPanel = 1 << 14,
    xcGroupBox = 1 << 15,
};
enum XPContainer : std::uint16_t {
    xccForm = 1 << 0,
    xccFrame = 1 << 1,
    xccToolbar = 1 << 2,
    xccCoolbar = 1 << 3,
    xccControlbar = 1 << 4,
    xccPanel = 1 << 5,
    xccScrollBox = 1 << 6,
    xccGroupBox = 1 << 7,
    xccTabSheet = 1 << 8,
    xccPageScroller = 1 << 9,
};

constexpr int kTagKeepOwnLook = 999;
constexpr int kTagNoTrueXPStyle = 1234567890;

// The "Tag" property of a widget or menu item; 0 when unset.
int tagOf(const QObject* object);

class TXPMenu : public QObject {
    Q_OBJECT
public:
    explicit TXPMenu(QWidget* owner);
    ~TXPMenu() override;

    // --- Menu properties (store only unless a setter says otherwise) ---
    int DimLevel = 30;
    int GrayLevel = 10;
    TColor FontColor = clMenuText;  // the colour of Font
    MenuColourProperties colours;   // Color ... CheckedColor, UseSystemColors
    int IconWidth = 24;
    bool DrawSelect = true;
    bool OverrideOwnerDraw = false;
    bool Gradient = false;
    bool FlatMenu = false;
    bool AutoDetect = false;  // stored only

    // --- Control properties ---
    int BtnRoundArc = 5;
    TColor BtnOutLineBorderColor = 7552000;
    TColor BtnInnerBorderMoveColor = 3257087;
    TColor BtnInnerBorderFocusColor = 15183500;
    TColor BtnSurfaceNormalColor = 16251903;
    TColor BtnSurfaceDownColor = 14608359;
    TColor BtnSurfaceBottomLineColor = 14608359;
    TColor BtnSurfaceDownBottomLineColor = 15199215;
    TColor RdoChkControlChkColor = 41472;
    TColor ComboBoxChkColor = 9201994;           // stored only
    TColor ComboboxSurfaceMoveColor = 16771030;  // stored only
    TColor ControlDisabledBorderColor = 11913158;

    const QFont& Font() const { return font_; }
    void setFont(const QFont& font);
    void setMenuBarColor(TColor colour);
    void setUseSystemColors(bool on);
    bool Active() const { return active_; }
    void setActive(bool active);
    std::uint16_t XPControls() const { return controls_; }
    void setXPControls(std::uint16_t set);
    std::uint16_t XPContainers() const { return containers_; }
    void setXPContainers(std::uint16_t set);
    bool ControlUseTrueXPStyle() const { return trueXPStyle_; }
    // Setting it true also puts every control colour and BtnRoundArc back to its default.
    void setControlUseTrueXPStyle(bool on);

    QWidget* owner() const { return owner_; }

    // --- Seams: where the system colours, the menu font and the display depth come from ---
    std::function<SystemColours()> systemColours;  // default: the application palette
    std::function<QFont()> systemMenuFont;         // default: the application's menu font
    std::function<int()> displayDepth;             // default: the primary screen's depth

    // The colour set-up of one drawing: reloads the system menu font under UseSystemColors.
    DerivedColours setUpColours();
    // The font items are measured and drawn in: under UseSystemColors the system menu font,
    // loaded into Font anew, so that a menu has one size from its first showing on.
    const QFont& itemFont();
    TColor resolve(TColor colour) const;

    // --- Used by the menu style and the control overlays ---
    bool isHooked(const QAction* action) const;
    void rehookSiblings(QMenu* menu);
    int attachedCount() const;
    void detached(TControlSubClass* subclass);

private:
    void walk(bool enable, bool repaint);
    void hookMenu(QMenu* menu, bool enable);
    void hookItem(QAction* action, bool enable);
    void attachControls(bool repaint);
    bool qualifies(const QWidget* widget) const;
    void redrawMenuBar();

    QWidget* owner_;
    QFont font_;
    bool active_ = false;
    bool trueXPStyle_ = true;
    std::uint16_t controls_ = 0xFFFF;
    std::uint16_t containers_ = 1023;
    std::unique_ptr<XPMenuStyle> style_;
    QList<QPointer<QMenu>> styledMenus_;
    QList<QPointer<QMenuBar>> styledBars_;
    QList<TControlSubClass*> subclasses_;
};

}  // namespace plumo
