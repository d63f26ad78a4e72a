#include "settings/settings_window.h"

#include <QBitmap>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include "image/double_size.h"
#include "image/pixel_font.h"
#include "image/png_decoder.h"
#include "image/qt_image.h"
#include "image/window_shape.h"
#include "platform/device_pixel_shape.h"
#include "platform/message_box.h"
#include "platform/window_state.h"
#include "settings/prompt_dialog.h"

namespace plumo {
namespace {

// A small cross for the message line's close button.
QIcon closePicture() {
    QPixmap picture(9, 9);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(QPen(QColor(96, 96, 96), 1.5));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawLine(QPointF(1.5, 1.5), QPointF(7.5, 7.5));
    painter.drawLine(QPointF(7.5, 1.5), QPointF(1.5, 7.5));
    return QIcon(picture);
}

}  // namespace

int Tsetfrm::msgticks = 3;

GbkLengthValidator::GbkLengthValidator(int maxBytes, QLineEdit* field)
    : QValidator(field), maxBytes_(maxBytes), field_(field), before_(field->text()) {
    connect(field, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text; });
}

QValidator::State GbkLengthValidator::validate(QString& input, int& pos) const {
    if (gbkLength(input) <= maxBytes_) return Acceptable;
    // Only an edit of the user marks the field modified; setText() clears the mark.
    if (!field_->isModified()) return Invalid;
    input = cutToGbkLength(before_, input, pos, maxBytes_);
    return Acceptable;
}

Tsetfrm::Tsetfrm(const QString& apppath, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("setfrm"));
    setWindowTitle(QStringLiteral("设置"));
    setFixedSize(210, 258);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    // Light colours of its own, so that the text stays readable over the picture under a
    // dark desktop theme; the key colour shows through wherever nothing is drawn.
    QPalette colours(QColor(240, 240, 240));
    colours.setColor(QPalette::Window, kKeyColour);
    setPalette(colours);
    setAutoFillBackground(true);

    createChildren();
    loadBackground(apppath + QStringLiteral("skin/set"));

    quittimer.setInterval(1000);
    connect(&quittimer, &QTimer::timeout, this, &Tsetfrm::quittimerTimer);
    quittimer.start();
}

void Tsetfrm::createChildren() {
    const QFont songti = pixelFont(QStringLiteral("宋体"), 12);

    imgbg = new QLabel(this);
    imgbg->setObjectName(QStringLiteral("imgbg"));
    imgbg->setGeometry(0, 0, 208, 257);
    imgbg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgbg->installEventFilter(this);

    auto makeCheckBox = [&](const char* name, const QString& caption, const QRect& rect) {
        auto* box = new QCheckBox(caption, this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(rect);
        box->setFont(songti);
        return box;
    };
    chkauto = makeCheckBox("chkauto", QStringLiteral("开机自动运行"), QRect(80, 7, 92, 17));
    chktime = makeCheckBox("chktime", QStringLiteral("整点报时"), QRect(8, 7, 67, 17));

    soundcate = new QGroupBox(QStringLiteral("声音类型"), this);
    soundcate->setObjectName(QStringLiteral("soundcate"));
    soundcate->setGeometry(8, 33, 187, 105);
    soundcate->setFont(songti);
    soundChoices = new QButtonGroup(soundcate);
    auto* choices = new QVBoxLayout(soundcate);
    choices->setContentsMargins(8, 4, 8, 4);
    const QString names[] = {QStringLiteral("Verola"), QStringLiteral("女声"),
                             QStringLiteral("嘀嘀")};
    for (int i = 0; i < 3; ++i) {
        auto* choice = new QRadioButton(names[i], soundcate);
        choices->addWidget(choice);
        soundChoices->addButton(choice, i);
    }
    soundChoices->button(0)->setChecked(true);

    chkpwd = makeCheckBox("chkpwd", QStringLiteral("密码保护备忘录"), QRect(8, 145, 106, 17));
    connect(chkpwd, &QCheckBox::toggled, this, &Tsetfrm::chkpwdClick);

    btnok = new QPushButton(QStringLiteral("确定"), this);
    btnok->setObjectName(QStringLiteral("btnok"));
    btnok->setGeometry(8, 225, 75, 25);
    btnok->setAutoDefault(false);
    connect(btnok, &QPushButton::clicked, this, &Tsetfrm::btnokClick);

    btncancel = new QPushButton(QStringLiteral("放弃"), this);
    btncancel->setObjectName(QStringLiteral("btncancel"));
    btncancel->setGeometry(88, 225, 75, 25);
    btncancel->setAutoDefault(false);
    connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);

    GroupBox1 = new QGroupBox(QStringLiteral("密码设置"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 169, 187, 48);
    GroupBox1->setFont(songti);
    txtpwd = new QLineEdit(GroupBox1);
    txtpwd->setObjectName(QStringLiteral("txtpwd"));
    txtpwd->setGeometry(8, 18, 169, 20);
    txtpwd->setFont(pixelFont(QStringLiteral("宋体"), 12, true));
    txtpwd->setValidator(new GbkLengthValidator(kPasswordMaxBytes, txtpwd));
    txtpwd->setEnabled(false);
    txtpwd->installEventFilter(this);

    msg = new QLabel(this);
    msg->setObjectName(QStringLiteral("msg"));
    msg->setGeometry(8, 208, 187, 25);
    msg->setFont(songti);
    msg->setFrameStyle(QFrame::Panel | QFrame::Raised);
    msg->setAlignment(Qt::AlignCenter);
    msg->setAutoFillBackground(true);
    QPalette red = msg->palette();
    red.setColor(QPalette::Window, red.color(QPalette::Button));
    red.setColor(QPalette::WindowText, Qt::red);
    msg->setPalette(red);
    msg->installEventFilter(this);
    msg->hide();

    btnCloseMsg = new QToolButton(msg);
    btnCloseMsg->setObjectName(QStringLiteral("btnCloseMsg"));
    btnCloseMsg->setGeometry(165, 3, 19, 19);
    btnCloseMsg->setAutoRaise(true);
    btnCloseMsg->setIcon(closePicture());
    btnCloseMsg->setFocusPolicy(Qt::NoFocus);
    connect(btnCloseMsg, &QToolButton::clicked, this, &Tsetfrm::btnCloseMsgClick);

    pwd = new QLineEdit(this);
    pwd->setObjectName(QStringLiteral("pwd"));
    pwd->setGeometry(64, 160, 121, 21);
    pwd->hide();

    QWidget* order[] = {chkauto, chktime, soundcate, chkpwd, btnok, btncancel, txtpwd};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void Tsetfrm::loadBackground(const QString& path) {
    QImage picture;
    try {
        picture = toQImage(decodePngFile(path.toStdString()));
    } catch (const ImageError& error) {
        const QFileInfo info(path);
        backgroundError_ = info.exists() ? QStringLiteral("设置窗口的背景图片 %1 无法载入（%2）")
                                               .arg(path, QString::fromUtf8(error.what()))
                                         : QStringLiteral("设置窗口的背景图片 %1 不存在").arg(path);
    }
    if (picture.isNull()) return;  // no picture, no shape: a plain window stays usable
    const qreal ratio = devicePixelRatioF();
    if (ratio > 1.0) {
        const QImage doubled = readDoubleSizePicture(path, picture);
        if (!doubled.isNull()) picture = doubled;
    }
    imgbg->setPixmap(QPixmap::fromImage(picture));
    // Drawn where the picture, composed onto the key colour, is not the key colour.
    if (ratio <= 1.0) {
        setMask(shapeOf(composeOnKeyColour(size(), {{QRect(QPoint(), size()), &picture}})));
        return;
    }
    // At the device pixels, given to the window system as it is shown; Qt keeps a mask
    // that leaves nothing of it out.
    deviceShape_ =
        shapeRegionOf(composeOnKeyColour(size(), ratio, {{QRect(QPoint(), size()), &picture}}));
    setMask(coveringRegion(deviceShape_, ratio));
}

void Tsetfrm::setForm(const SettingsForm& form) {
    chktime->setChecked(form.chktime);
    if (QAbstractButton* choice = soundChoices->button(form.soundcate)) {
        choice->setChecked(true);
    } else {
        soundChoices->setExclusive(false);
        for (QAbstractButton* button : soundChoices->buttons()) button->setChecked(false);
        soundChoices->setExclusive(true);
    }
    chkauto->setChecked(form.chkauto);
    chkpwd->setChecked(form.chkpwd);
    chkpwdClick();
    txtpwd->setText(form.txtpwd);
    pwd->setText(form.pwd);
}

SettingsForm Tsetfrm::form() const {
    SettingsForm form;
    form.chktime = chktime->isChecked();
    form.chkauto = chkauto->isChecked();
    form.soundcate = soundChoices->checkedId();
    form.chkpwd = chkpwd->isChecked();
    form.txtpwd = txtpwd->text();
    form.pwd = pwd->text();
    return form;
}

void Tsetfrm::btnokClick() {
    if (settingsMayClose(form(), *this)) accept();
}

void Tsetfrm::chkpwdClick() { txtpwd->setEnabled(chkpwd->isChecked()); }

void Tsetfrm::txtpwdClick() { txtpwd->selectAll(); }

std::optional<QString> Tsetfrm::askOldPassword(PasswordEcho echo) {
    QPointer<Tdfrm> dialog = new Tdfrm(this);
    dialog->lbmsg->setText(kOldPasswordPrompt);
    dialog->lbmsg->adjustSize();
    if (echo == PasswordEcho::Stars) dialog->maskInput();
    dialog->Timer1.start();
    emit promptOpening(dialog);
    const int result = dialog->exec();
    if (!dialog) return std::nullopt;  // gone with its owner
    const QString text = dialog->edit1->text();
    const bool timedOut = dialog->timedOut();
    delete dialog;
    // The countdown running out is judged by the text left in the field; a cancelled
    // prompt changes nothing.
    if (result != QDialog::Accepted && !timedOut) return std::nullopt;
    return text;
}

void Tsetfrm::showmsg(const QString& text) {
    msg->setText(text);
    msg->show();
    msg->raise();
    msgticks = 5;
    quittimer.start();
}

void Tsetfrm::quittimerTimer() {
    if (msgticks == 1) {
        msg->hide();
        msgticks = 3;
        quittimer.stop();
    }
    --msgticks;
}

void Tsetfrm::hideMessage() {
    msg->hide();
    msgticks = 3;
    quittimer.stop();
}

void Tsetfrm::btnCloseMsgClick() { hideMessage(); }

void Tsetfrm::msgClick() { hideMessage(); }

void Tsetfrm::imgbgMouseDown() {
    if (QWindow* window = windowHandle()) window->startSystemMove();
}

bool Tsetfrm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched == imgbg) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) imgbgMouseDown();
    } else if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        const bool inside = mouse->button() == Qt::LeftButton &&
                            widget->rect().contains(mouse->position().toPoint());
        if (inside && watched == msg) msgClick();
        if (inside && watched == txtpwd) txtpwdClick();
    }
    return QDialog::eventFilter(watched, event);
}

void Tsetfrm::setVisible(bool visible) {
    if (visible && !isVisible())
        showOffTaskbar(this, [this] { QDialog::setVisible(true); });
    else
        QDialog::setVisible(visible);
}

void Tsetfrm::showEvent(QShowEvent* event) {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(width() / 2, height() / 2));
    if (!deviceShape_.isEmpty()) setDevicePixelShape(this, deviceShape_);
    QDialog::showEvent(event);
}

std::optional<SettingsForm> runSettingsWindow(QWidget* owner, const QString& apppath,
                                              const SettingsForm& form) {
    QPointer<Tsetfrm> window = new Tsetfrm(apppath, owner);
    if (!window->backgroundError().isEmpty())
        currentMessageBoxes().error(window->backgroundError());
    window->setForm(form);
    const int result = window->exec();
    if (!window) return std::nullopt;  // gone with its owner
    std::optional<SettingsForm> confirmed;
    if (result == QDialog::Accepted) confirmed = window->form();
    delete window;
    return confirmed;
}

}  // namespace plumo
