#include "settings/prompt_dialog.h"

#include <QGuiApplication>
#include <QScreen>

#include "image/pixel_font.h"
#include "platform/window_state.h"

namespace plumo {

Tdfrm::Tdfrm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("dfrm"));
    setWindowTitle(QStringLiteral("系统提示"));
    setFixedSize(256, 96);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));

    lbmsg = new QLabel(QStringLiteral("提示信息"), this);
    lbmsg->setObjectName(QStringLiteral("lbmsg"));
    lbmsg->setFont(pixelFont(QStringLiteral("宋体"), 12));
    lbmsg->move(16, 13);
    lbmsg->adjustSize();

    edit1 = new QLineEdit(this);
    edit1->setObjectName(QStringLiteral("edit1"));
    edit1->setGeometry(16, 31, 225, 21);

    btnok = new QPushButton(QStringLiteral("确认"), this);
    btnok->setObjectName(QStringLiteral("btnok"));
    btnok->setGeometry(16, 60, 75, 25);

    btncancel = new QPushButton(QStringLiteral("取消"), this);
    btncancel->setObjectName(QStringLiteral("btncancel"));
    btncancel->setGeometry(104, 60, 75, 25);

    counter = new QLineEdit(QStringLiteral("30"), this);
    counter->setObjectName(QStringLiteral("counter"));
    counter->setGeometry(184, 62, 39, 21);
    counter->hide();

    // Enter in the field is handled below; no button is the dialog's default besides.
    for (QPushButton* button : {btnok, btncancel}) button->setAutoDefault(false);
    connect(btnok, &QPushButton::clicked, this, &QDialog::accept);
    connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(edit1, &QLineEdit::returnPressed, btnok, &QPushButton::click);  // edit1KeyPress

    setTabOrder(edit1, btnok);
    setTabOrder(btnok, btncancel);
    edit1->setFocus();

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &Tdfrm::Timer1Timer);

    setOkCaption(counter->text().toInt());
}

void Tdfrm::maskInput() {
    edit1->setEchoMode(QLineEdit::Password);
    edit1->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

void Tdfrm::setOkCaption(int seconds) { btnok->setText(QStringLiteral("确认(%1秒)").arg(seconds)); }

void Tdfrm::Timer1Timer() {
    const int seconds = counter->text().toInt();
    if (seconds >= 2) {
        counter->setText(QString::number(seconds - 1));
        setOkCaption(seconds - 1);
    } else {
        timedOut_ = true;
        btncancel->click();
    }
}

void Tdfrm::done(int result) {
    Timer1.stop();
    QDialog::done(result);
}

void Tdfrm::setVisible(bool visible) {
    if (visible && !isVisible())
        showOffTaskbar(this, [this] { QDialog::setVisible(true); });
    else
        QDialog::setVisible(visible);
}

void Tdfrm::showEvent(QShowEvent* event) {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(width() / 2, height() / 2));
    QDialog::showEvent(event);
}

}  // namespace plumo
