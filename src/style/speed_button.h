#pragma once

// The windowless-style buttons and the panel the styled controls are built from.

#include <QFrame>
#include <QPixmap>
#include <QPushButton>

namespace plumo {

// A button that never takes the focus, sees through to its parent unless made opaque, and
// can latch down (checkable + checked). Unstyled, it looks like a push button.
class TSpeedButton : public QPushButton {
    Q_OBJECT
public:
    enum ButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

    explicit TSpeedButton(QWidget* parent = nullptr);
    TSpeedButton(const QString& caption, QWidget* parent);

    bool Down() const { return isCheckable() && isChecked(); }
    bool Flat() const { return isFlat(); }

    bool Transparent = true;
    QPixmap Glyph;  // NumGlyphs images side by side: up, disabled, pressed, latched down
    int NumGlyphs = 1;
    int Spacing = 4;
    ButtonLayout Layout = blGlyphLeft;
};

// A panel: a plain fill with optional outer and inner bevels.
class TPanel : public QFrame {
    Q_OBJECT
public:
    enum Bevel { bvNone, bvLowered, bvRaised, bvSpace };

    explicit TPanel(QWidget* parent = nullptr);

    Bevel BevelOuter = bvRaised;
    Bevel BevelInner = bvNone;
    int BevelWidth = 1;
    int BorderWidth = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace plumo
