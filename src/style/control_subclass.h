#pragma once

// TControlSubClass: follows one styled control's mouse, keyboard and focus state through an
// event filter and paints the flat overlay after the control has painted itself. A speed
// button is painted by the overlay alone.

#include <QEvent>
#include <QFontMetrics>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "style/gdi_canvas.h"
#include "style/xp_colours.h"

namespace plumo {

class TXPMenu;

enum class ControlKind {
    Edit,
    CheckBox,
    RadioButton,
    BitBtn,
    Button,
    UpDown,
    SpeedButton,
    Panel,
    GroupBox
};

class TControlSubClass : public QObject {
    Q_OBJECT
public:
    TControlSubClass(TXPMenu* xpmenu, QWidget* control, ControlKind kind);
    ~TControlSubClass() override;

    QWidget* control() const { return control_; }
    ControlKind kind() const { return kind_; }
    bool hot() const { return hot_; }
    bool mouseDown() const { return mouseDown_; }
    bool spaceDown() const { return spaceDown_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void detach();
    void refresh();  // repaint after a state change
    void paint();
    void paintSpeedButton(GdiCanvas& c, const DerivedColours& d);
    void paintButton(GdiCanvas& c, const DerivedColours& d);
    void paintEdit(GdiCanvas& c, const DerivedColours& d);
    void paintCheckBox(GdiCanvas& c, const DerivedColours& d);
    void paintRadioButton(GdiCanvas& c, const DerivedColours& d);
    void paintPanel(GdiCanvas& c);
    void paintGroupBox(GdiCanvas& c);
    bool trueXPStyle() const;
    TColor parentBackground() const;
    TColor controlColour() const;
    static int captionWidth(const QFontMetrics& fm, QString text);

    QPointer<QWidget> control_;
    ControlKind kind_;
    bool recreating_ = false;
    bool hot_ = false;
    bool mouseDown_ = false;
    bool spaceDown_ = false;
    bool spaceRepeat_ = false;
    bool focused_ = false;
    TXPMenu* xpmenu_;
    bool savedFrame_ = true;  // edits: whether the edit drew its own sunken frame
    QEvent::Type lastMessage_ = QEvent::None;
};

}  // namespace plumo
