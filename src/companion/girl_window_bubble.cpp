// Her bubble, the command panel, the captions of the answer menu and the memo button,
// the calendar toggle and the About text.

#include "companion/girl_window.h"

#include <QCursor>

#include "calendar/month_window.h"
#include "companion/companion_shape.h"
#include "companion/picture.h"
#include "platform/application_title.h"
#include "platform/file_version.h"

namespace plumo {
namespace {

// The bubble's own fill where a bubble picture is missing.
const QColor kBubbleFill(255, 255, 255);

}  // namespace

QString Tgirlfrm::bubbleText() const { return lblinfo->text(); }

void Tgirlfrm::setBubbleText(const QString& text) { lblinfo->setText(text); }

void Tgirlfrm::setBubblePicture(const QImage& picture) {
    imgChat->setImage(picture);
    // The text's background is the bubble's own fill, whatever the desktop's colours.
    const QPoint middle =
        (QPointF(lblinfo->geometry().center() - imgChat->pos()) * picture.devicePixelRatio())
            .toPoint();
    QPalette info = lblinfo->palette();
    info.setColor(QPalette::Window,
                  picture.valid(middle) ? QColor(picture.pixel(middle)) : kBubbleFill);
    lblinfo->setPalette(info);
}

void Tgirlfrm::setBubbleLook(QImage SkinSet::*picture) {
    lblinfo->show();
    bubbleOnShow_ = picture;
    setBubblePicture(skins_.*picture);
    imgChat->show();
    menu->hide();
    shape_->schedule();
    if (keepingOnTop_) return;
    if (quiet_.mayRaise())
        menus().N4->trigger();
    else
        showWhenFree_ = true;
}

void Tgirlfrm::showinfo() { setBubbleLook(&SkinSet::pngspop); }

void Tgirlfrm::showinfo2() { setBubbleLook(&SkinSet::pngbpop); }

void Tgirlfrm::N10Click() {
    menus();  // the panel's buttons take their flat look with the menus
    bubbleOnShow_ = &SkinSet::pngmenu;
    imgChat->setImage(skins_.pngmenu);
    lblinfo->hide();
    btnhide->setEnabled(trayPresent());  // nothing hides her into a tray that is not there
    menu->show();
    quittimer.stop();
    state_.quitcount = 3;
    shape_->schedule();
}

void Tgirlfrm::showmenu() {
    N10Click();
    lblinfo->setText(QString());
}

void Tgirlfrm::createCalendarWindow() {
    if (!monFrm) monFrm = new TmonFrm(state_.datapath, this);
}

void Tgirlfrm::btnmonthClick() {
    createCalendarWindow();
    if (monFrm->isVisible()) {
        btnmonth->setText(QStringLiteral("万年历"));
        menus().N3->setText(QStringLiteral("万年历"));
        monFrm->hide();
    } else {
        btnmonth->setText(QStringLiteral("关闭万年历"));
        menus().N3->setText(QStringLiteral("关闭万年历"));
        monFrm->show();
    }
}

void Tgirlfrm::naboutClick() {
    const std::string version =
        getversion((state_.apppath + QStringLiteral("plumo")).toStdString());
    lblinfo->setText(kApplicationTitle + QString::fromStdString(aboutVersionText(version)) +
                     QStringLiteral("，由 Plumo 开发小组用心制作"));
    showinfo2();
}

void Tgirlfrm::lblinfoClick() {
    const QPoint at = QCursor::pos();
    if (state_.answering)
        menus().pmanswer->popup(at);
    else
        showmenu();
}

QString Tgirlfrm::memoCaption() const { return btnreminder->text(); }

void Tgirlfrm::setMemoCaptions(const QString& caption) {
    btnreminder->setText(caption);
    menus().N2->setText(caption);
}

QAction* Tgirlfrm::answerAction(AnswerItem item) const {
    switch (item) {
        case AnswerItem::View:
            return menus().N13;
        case AnswerItem::GotIt:
            return menus().N12;
        case AnswerItem::Postpone:
            break;
    }
    return menus().N14;
}

QString Tgirlfrm::answerCaption(AnswerItem item) const { return answerAction(item)->text(); }

void Tgirlfrm::setAnswerCaption(AnswerItem item, const QString& caption) {
    answerAction(item)->setText(caption);
}

bool Tgirlfrm::answerVisible(AnswerItem item) const { return answerAction(item)->isVisible(); }

void Tgirlfrm::setAnswerVisible(AnswerItem item, bool visible) {
    answerAction(item)->setVisible(visible);
}

// ---------------------------------------------------------------- shape

QImage Tgirlfrm::composedLook() const { return shape_->composedLook(); }

void Tgirlfrm::updateShape() { shape_->update(); }

}  // namespace plumo
