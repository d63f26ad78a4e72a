#include "companion/girl_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPalette>
#include <QScreen>
#include <QWindow>
#include <random>

#include "calendar/month_window.h"
#include "companion/time_of_day.h"
#include "companion/window_shape.h"
#include "image/gif_decoder.h"
#include "image/png_decoder.h"
#include "image/qt_image.h"
#include "memo/memo_startup.h"
#include "platform/clock.h"
#include "platform/file_rename.h"
#include "platform/file_version.h"
#include "platform/message_box.h"
#include "platform/program_launcher.h"
#include "platform/window_state.h"
#include "settings/settings_io.h"
#include "sound/playsound.h"

namespace plumo {
namespace {

const QString kShownCaption = QStringLiteral("隐藏小秘书");
const QString kHiddenCaption = QStringLiteral("显示小秘书");
const QString kGoodbyeText = QStringLiteral("BYE BYE！有事您叫我。");
const QString kQuitAction = QStringLiteral("退出");
const QColor kBubbleTextColour(255, 153, 51);

QFont pixelFont(const QString& family, int pixelSize) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    return font;
}

// Why a skin file could not be read, in words for the user.
QString describeSkinError(const QString& path, const ImageError& error) {
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("%1：文件不存在").arg(path);
    if (info.isDir()) return QStringLiteral("%1：这是一个文件夹，不是图片").arg(path);
    if (!info.isReadable()) return QStringLiteral("%1：没有读取权限").arg(path);
    return QStringLiteral("%1：图片已损坏或格式不对（%2）")
        .arg(path, QString::fromUtf8(error.what()));
}

}  // namespace

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

Tgirlfrm::Tgirlfrm(CompanionServices services, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      mp1(services.player),
      services_(std::move(services)) {
    setObjectName(QStringLiteral("girlfrm"));
    setWindowTitle(kApplicationTitle);
    setFixedSize(168, 93);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    QPalette background = palette();
    background.setColor(QPalette::Window, kKeyColour);
    setPalette(background);
    setAutoFillBackground(true);

    createChildren();
    createMenus();
    hicon = new ThTrayIcon(this);
    hicon->OnClick = [this](QObject*) { hiconClick(); };
    hicon->OnDblClick = [this](QObject*) { hiconDblClick(); };

    for (QTimer* timer : {&rtimer, &toptimer, &quittimer, &watchTimer}) timer->setInterval(1000);
    connect(&toptimer, &QTimer::timeout, this, &Tgirlfrm::toptimerTimer);
    connect(&quittimer, &QTimer::timeout, this, &Tgirlfrm::quittimerTimer);
    rtimer.start();
}

Tgirlfrm::~Tgirlfrm() = default;

void Tgirlfrm::createChildren() {
    imggirl = new Picture(this);
    imggirl->setObjectName(QStringLiteral("imggirl"));
    imggirl->setGeometry(103, 0, 65, 91);

    imgChat = new Picture(this);
    imgChat->setObjectName(QStringLiteral("imgChat"));
    imgChat->setGeometry(0, 0, 105, 91);

    lblinfo = new ClickLabel(this);
    lblinfo->setObjectName(QStringLiteral("lblinfo"));
    lblinfo->setGeometry(12, 17, 74, 66);
    lblinfo->setWordWrap(true);
    lblinfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblinfo->setCursor(Qt::PointingHandCursor);
    lblinfo->setFont(pixelFont(QStringLiteral("宋体"), 12));
    lblinfo->setAutoFillBackground(true);
    QPalette info = lblinfo->palette();
    info.setColor(QPalette::Window, QApplication::palette().color(QPalette::ToolTipBase));
    lblinfo->setPalette(info);
    connect(lblinfo, &ClickLabel::clicked, this, &Tgirlfrm::lblinfoClick);

    eyeclose = new Picture(this);
    eyeclose->setObjectName(QStringLiteral("eyeclose"));
    eyeclose->setGeometry(113, 19, 49, 14);

    menu = new QWidget(this);
    menu->setObjectName(QStringLiteral("menu"));
    menu->setGeometry(5, 4, 72, 86);
    menu->setAutoFillBackground(true);
    QPalette panel = menu->palette();
    panel.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    menu->setPalette(panel);
    auto makeButton = [this](const char* name, const QString& caption, const QRect& rect) {
        auto* button = new QPushButton(caption, menu);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(rect);
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    };
    btnreminder = makeButton("btnreminder", QStringLiteral("备忘录"), QRect(1, 2, 69, 19));
    btnmonth = makeButton("btnmonth", QStringLiteral("万年历"), QRect(1, 22, 69, 19));
    btnhide = makeButton("btnhide", QStringLiteral("隐藏"), QRect(1, 42, 69, 19));
    btnset = makeButton("btnset", QStringLiteral("设置"), QRect(2, 62, 69, 19));
    menu->hide();
    connect(btnhide, &QPushButton::clicked, this, &Tgirlfrm::btnhideClick);
    connect(btnmonth, &QPushButton::clicked, this, &Tgirlfrm::btnmonthClick);

    for (Picture* picture : {imggirl, eyeclose}) {
        connect(picture, &Picture::mousePressed, this, &Tgirlfrm::startDrag);
        picture->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(picture, &QWidget::customContextMenuRequested, this,
                [this, picture](const QPoint& at) { pmenu2->popup(picture->mapToGlobal(at)); });
    }
    connect(eyeclose, &Picture::frameChanged, this, &Tgirlfrm::scheduleShapeUpdate);
}

void Tgirlfrm::createMenus() {
    pmenu = new QMenu(this);
    pmenu->setObjectName(QStringLiteral("pmenu"));
    N4 = pmenu->addAction(kShownCaption, this, &Tgirlfrm::N4Click);
    N5 = pmenu->addSeparator();
    N2 = pmenu->addAction(QStringLiteral("备忘录"), btnreminder, &QPushButton::click);
    N3 = pmenu->addAction(QStringLiteral("万年历"), btnmonth, &QPushButton::click);
    N6 = pmenu->addSeparator();
    nset = pmenu->addAction(QStringLiteral("设置"));
    nabout = pmenu->addAction(QStringLiteral("关于"), this, &Tgirlfrm::naboutClick);
    nexit = pmenu->addAction(QStringLiteral("退出"), this, &Tgirlfrm::nexitClick);
    connect(btnset, &QPushButton::clicked, nset, &QAction::trigger);

    pmenu2 = new QMenu(this);
    pmenu2->setObjectName(QStringLiteral("pmenu2"));
    N1 = pmenu2->addAction(QStringLiteral("换装"), this, &Tgirlfrm::N1Click);
    N11 = pmenu2->addAction(QStringLiteral("隐藏"), this, &Tgirlfrm::N11Click);
    N10 = pmenu2->addAction(QStringLiteral("指令"), this, &Tgirlfrm::N10Click);

    pmanswer = new QMenu(this);
    pmanswer->setObjectName(QStringLiteral("pmanswer"));
    N13 = pmanswer->addAction(QStringLiteral("查看"));
    N12 = pmanswer->addAction(QStringLiteral("知道了"));
    N14 = pmanswer->addAction(QStringLiteral("延迟一天"));
    N14->setVisible(false);

    const std::pair<QAction*, const char*> names[] = {
        {N4, "N4"},     {N5, "N5"},         {N2, "N2"},       {N3, "N3"},  {N6, "N6"},
        {nset, "nset"}, {nabout, "nabout"}, {nexit, "nexit"}, {N1, "N1"},  {N11, "N11"},
        {N10, "N10"},   {N13, "N13"},       {N12, "N12"},     {N14, "N14"}};
    for (const auto& [action, name] : names) action->setObjectName(QString::fromLatin1(name));
}

// ---------------------------------------------------------------- start-up

StartupResult Tgirlfrm::FormCreate() {
    // Program folder.
    apppath = services_.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                : services_.programFolder;
    if (!apppath.endsWith(QLatin1Char('/'))) apppath += QLatin1Char('/');

    // Only one copy runs; a second one ends here, silently.
    if (!chkstatus()) return StartupResult::AnotherCopy;

    // No taskbar button: the window is a frameless tool window, and keepOffTaskbar()
    // marks it again at every show.

    // The tray icon and the greeting sound come right after her first frame is on the
    // screen (see finishStartup): both take longer to set up than drawing her.
    trayIconPending_ = true;

    // The calendar window, hidden until the command panel shows it.
    monFrm = new TmonFrm(apppath, this);

    // Time-of-day prefix.
    const DateTime now = currentClock().now();
    const QString prefix = QString::fromStdString(timeOfDayPrefix(now));

    database = openMemoDatabaseForStartup(apppath.toStdString());
    if (!database) return StartupResult::DatabaseFailed;

    // The counts of open plans and overdue reminders come here; they speak before the
    // idle greeting.

    // Idle greeting when nothing else was said.
    if (lblinfo->text().isEmpty()) {
        std::mt19937 random(static_cast<unsigned>(now * 86'400'000.0));
        lblinfo->setText(prefix + QString::fromStdString(greetingPhrase(random())));
    }

    loadSkins();

    QPalette text = lblinfo->palette();
    text.setColor(QPalette::WindowText, kBubbleTextColour);
    lblinfo->setPalette(text);

    startupSoundPending_ = true;

    readconfig();

    startSibling();

    if (!skinErrors_.isEmpty()) {
        finishStartup();  // before the message, which waits for the user
        currentMessageBoxes().information(
            QStringLiteral("有皮肤文件无法载入，小秘书会少一些样子：\n") +
            skinErrors_.join(QLatin1Char('\n')));
    }
    return StartupResult::Running;
}

void Tgirlfrm::finishStartup() {
    if (trayIconPending_) {
        trayIconPending_ = false;
        setUpTrayIcon();
    }
    if (startupSoundPending_) {
        startupSoundPending_ = false;
        if (mp1) playsound(*mp1, apppath, QStringLiteral("msg.mp3"), QString());
    }
}

void Tgirlfrm::setUpTrayIcon() {
    hicon->setHint(kApplicationTitle);
    hicon->setPopupMenu(pmenu);
    try {
        hicon->setVisible(true);
    } catch (const EOutOfResources&) {
        // No notification area on this desktop (yet): the icon docks when one appears.
        currentMessageBoxes().error(
            QStringLiteral("系统托盘暂时不可用，托盘图标会在托盘出现后显示。"));
    }
}

void Tgirlfrm::readconfig() {
    if (!services_.autostart) return;
    SettingsValues values;
    try {
        loadSettings(apppath, values, *services_.autostart);
    } catch (const AutostartError& error) {
        finishStartup();  // before the message, which waits for the user
        currentMessageBoxes().error(error.text());
    }
    timeset = values.timeset;
    soundset = values.soundset;
    autoset = values.autoset;
}

void Tgirlfrm::saveconfig() {
    if (!services_.autostart) return;
    try {
        saveSettings(apppath, SettingsValues{timeset, soundset, autoset}, *services_.autostart);
    } catch (const SettingsFileError& error) {
        currentMessageBoxes().error(error.text());
    } catch (const AutostartError& error) {
        currentMessageBoxes().error(error.text());
    }
}

bool Tgirlfrm::chkstatus() {
    return !(services_.anotherCopyRunning && services_.anotherCopyRunning());
}

void Tgirlfrm::startSibling() {
    if (services_.launcher)
        services_.launcher->open(apppath + QStringLiteral("Vexlar"), QStringLiteral("-s"));
}

void Tgirlfrm::loadSkins() {
    skinErrors_.clear();
    auto loadPng = [this](const QString& name) {
        const QString path = skinPath(name);
        try {
            return toQImage(decodePngFile(path.toStdString()));
        } catch (const ImageError& error) {
            skinErrors_ << describeSkinError(path, error);
            return QImage();
        }
    };
    pngg1 = loadPng(QStringLiteral("g1"));
    pngg2 = loadPng(QStringLiteral("g2"));
    pngspop = loadPng(QStringLiteral("spop"));
    pngbpop = loadPng(QStringLiteral("bpop"));
    pngmenu = loadPng(QStringLiteral("menu"));

    imgChat->setImage(pngspop);
    imggirl->setImage(pngg1);

    const QString eyes = skinPath(QStringLiteral("i.gif"));
    try {
        const GifAnimation animation = decodeGifFile(eyes.toStdString());
        std::vector<PictureFrame> frames;
        for (const GifFrame& frame : animation.frames)
            frames.push_back({toQImage(frame.image), frame.delayMs});
        eyeclose->setFrames(std::move(frames));
        eyeclose->resize(animation.width, animation.height);
    } catch (const ImageError& error) {
        skinErrors_ << describeSkinError(eyes, error);
    }
    scheduleShapeUpdate();
}

void Tgirlfrm::showCentred() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    // The shape goes with the window when it is mapped, so that her first frame is cut out.
    if (shapeUpdatePending_) updateShape();
    show();
}

// ---------------------------------------------------------------- outfit and dragging

void Tgirlfrm::N1Click() {
    const auto rename = [this](const char* from, const char* to) {
        renameNoReplace(skinPath(QString::fromLatin1(from)).toStdString(),
                        skinPath(QString::fromLatin1(to)).toStdString());
    };
    if (skinno == 1) {
        rename("g1", "g");
        rename("g2", "g1");
        rename("g", "g2");
        imggirl->setImage(pngg2);
        skinno = 2;
    } else {
        imggirl->setImage(pngg1);
        rename("g2", "g");
        rename("g1", "g2");
        rename("g", "g1");
        skinno = 1;
    }
    scheduleShapeUpdate();
}

void Tgirlfrm::startDrag(Qt::MouseButton button) {
    // The right button stays free for the outfit menu.
    if (button != Qt::LeftButton) return;
    if (QWindow* window = windowHandle()) window->startSystemMove();
}

// ---------------------------------------------------------------- hide and show

void Tgirlfrm::btnhideClick() {
    if (N4->text().contains(QStringLiteral("隐藏"))) {
        toptimer.stop();
        N4->setText(kHiddenCaption);
        hicon->HideMainWindow();
    } else {
        N4->setText(kShownCaption);
        hicon->RestoreMainWindow();
    }
}

void Tgirlfrm::setVisible(bool visible) {
    if (visible && !isVisible()) keepOffTaskbar(this);  // before the window is mapped
    QWidget::setVisible(visible);
}

void Tgirlfrm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    toptimer.start();  // FormShow
    // Once mapped, ask the window manager again: it forgets the state at every hide.
    QTimer::singleShot(0, this, [this] {
        if (isVisible()) keepOffTaskbar(this);
    });
}

void Tgirlfrm::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    // The frame reaches the screen when this painting is done: finish once it has.
    if (!startupComplete()) QTimer::singleShot(0, this, &Tgirlfrm::finishStartup);
}

void Tgirlfrm::toptimerTimer() {
    if (isMinimized()) showNormal();
    raise();
    // Activate within this program only; never take the focus from another program.
    if (QGuiApplication::applicationState() == Qt::ApplicationActive) activateWindow();
}

// ---------------------------------------------------------------- goodbye

void Tgirlfrm::nexitClick() {
    if (!toptimer.isActive()) N4->trigger();
    quitaction = kQuitAction;
    lblinfo->setText(kGoodbyeText);
    showinfo();
    quitcount = 3;
    quittimer.start();
}

void Tgirlfrm::quittimerTimer() {
    --quitcount;
    if (quitcount == 1) {
        if (quitaction == kQuitAction) close();
        quitcount = 3;
        quittimer.stop();
    }
}

void Tgirlfrm::closeEvent(QCloseEvent* event) {
    event->accept();
    QCoreApplication::quit();
}

// ---------------------------------------------------------------- bubble and panel

void Tgirlfrm::setBubbleLook(const QImage& picture) {
    lblinfo->show();
    imgChat->setImage(picture);
    imgChat->show();
    menu->hide();
    scheduleShapeUpdate();
    if (!toptimer.isActive()) N4->trigger();
}

void Tgirlfrm::showinfo() { setBubbleLook(pngspop); }

void Tgirlfrm::showinfo2() { setBubbleLook(pngbpop); }

void Tgirlfrm::N10Click() {
    imgChat->setImage(pngmenu);
    lblinfo->hide();
    menu->show();
    quittimer.stop();
    quitcount = 3;
    scheduleShapeUpdate();
}

void Tgirlfrm::showmenu() {
    N10Click();
    lblinfo->setText(QString());
}

void Tgirlfrm::btnmonthClick() {
    if (monFrm->isVisible()) {
        btnmonth->setText(QStringLiteral("万年历"));
        N3->setText(QStringLiteral("万年历"));
        monFrm->hide();
    } else {
        btnmonth->setText(QStringLiteral("关闭万年历"));
        N3->setText(QStringLiteral("关闭万年历"));
        monFrm->show();
    }
}

void Tgirlfrm::naboutClick() {
    const std::string version = getversion((apppath + QStringLiteral("plumo")).toStdString());
    lblinfo->setText(kApplicationTitle + QString::fromStdString(aboutVersionText(version)) +
                     QStringLiteral("，由 Plumo 开发小组用心制作"));
    showinfo2();
}

void Tgirlfrm::lblinfoClick() {
    const QPoint at = QCursor::pos();
    if (answering)
        pmanswer->popup(at);
    else
        showmenu();
}

// ---------------------------------------------------------------- shape

QImage Tgirlfrm::composedLook() const {
    std::vector<ShapeLayer> layers;
    if (imgChat->isVisibleTo(this))
        layers.push_back({imgChat->geometry(), &imgChat->currentImage()});
    if (lblinfo->isVisibleTo(this)) layers.push_back({lblinfo->geometry(), nullptr});
    layers.push_back({imggirl->geometry(), &imggirl->currentImage()});
    layers.push_back({eyeclose->geometry(), &eyeclose->currentImage()});
    if (menu->isVisibleTo(this)) layers.push_back({menu->geometry(), nullptr});
    return composeOnKeyColour(size(), layers);
}

void Tgirlfrm::scheduleShapeUpdate() {
    if (shapeUpdatePending_) return;
    shapeUpdatePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (shapeUpdatePending_) updateShape();  // unless brought up to date already
        },
        Qt::QueuedConnection);
}

void Tgirlfrm::updateShape() {
    shapeUpdatePending_ = false;
    const QImage shape = shapeOf(composedLook()).toImage();
    if (shape != lastShape_) {
        lastShape_ = shape;
        setMask(QBitmap::fromImage(shape));
    }
    emit shapeChanged();
}

}  // namespace plumo
