#include "companion/girl_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QScreen>
#include <QWindow>
#include <utility>

#include "companion/companion_shape.h"
#include "companion/core/companion_tick.h"
#include "companion/core/memo_answers.h"
#include "companion/core/memo_launcher.h"
#include "companion/core/settings_exchange.h"
#include "companion/outfit_change.h"
#include "companion/picture.h"
#include "companion/screen_follower.h"
#include "companion/stored_repeats.h"
#include "image/pixel_font.h"
#include "platform/application_title.h"
#include "platform/message_box.h"
#include "settings/settings_window.h"
#include "style/speed_button.h"
#include "style/xp_menu.h"

namespace plumo {
namespace {

const QColor kBubbleTextColour(255, 153, 51);

}  // namespace

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

Tgirlfrm::Tgirlfrm(CompanionServices services, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      services_(std::move(services)),
      mp1(services_.player),
      startup_(std::make_unique<CompanionStartup>(static_cast<StartupWindow&>(*this))) {
    setObjectName(QStringLiteral("girlfrm"));
    setWindowTitle(kApplicationTitle);
    setFixedSize(168, 93);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    QPalette background = palette();
    background.setColor(QPalette::Window, kKeyColour);
    setPalette(background);
    setAutoFillBackground(true);

    createChildren();
    shape_ = new CompanionShape(this, [this] {
        std::vector<ShapeLayer> layers;
        if (imgChat->isVisibleTo(this))
            layers.push_back({imgChat->geometry(), &imgChat->currentImage()});
        if (lblinfo->isVisibleTo(this)) layers.push_back({lblinfo->geometry(), nullptr});
        layers.push_back({imggirl->geometry(), &imggirl->currentImage()});
        layers.push_back({eyeclose->geometry(), &eyeclose->currentImage()});
        if (menu->isVisibleTo(this)) layers.push_back({menu->geometry(), nullptr});
        return layers;
    });
    connect(shape_, &CompanionShape::updated, this, &Tgirlfrm::shapeChanged);
    hicon = new ThTrayIcon(this);
    hicon->OnClick = [this](QObject*) { hiconClick(); };
    hicon->OnDblClick = [this](QObject*) { hiconDblClick(); };

    for (QTimer* timer : {&quittimer, &watchTimer}) timer->setInterval(1000);
    connect(&quittimer, &QTimer::timeout, this, &Tgirlfrm::quittimerTimer);
    connect(&watchTimer, &QTimer::timeout, this, &Tgirlfrm::watchTimerTimer);
    secondBeat_.start();
    // Wherever she is dragged she stays; when her screen goes or shrinks she moves onto
    // one that remains, and message boxes no window holds show on her screen.
    new ScreenFollower(this);
    showMessageBoxesOnScreenOf(this);
}

void Tgirlfrm::everySecond() {
    rtimerTimer();
    if (!keepingOnTop_ && !showWhenFree_) return;
    if (!quiet_.mayRaise()) return;
    if (showWhenFree_) {
        showWhenFree_ = false;
        if (!keepingOnTop_) menus().N4->trigger();
        return;
    }
    toptimerTimer();
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
    // Memo titles show here: markup in a title is shown as typed, never interpreted.
    lblinfo->setTextFormat(Qt::PlainText);
    lblinfo->setWordWrap(true);
    lblinfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblinfo->setCursor(Qt::PointingHandCursor);
    lblinfo->setFont(pixelFont(QStringLiteral("宋体"), 12));
    lblinfo->setAutoFillBackground(true);
    QPalette text = lblinfo->palette();
    text.setColor(QPalette::WindowText, kBubbleTextColour);
    lblinfo->setPalette(text);
    connect(lblinfo, &ClickLabel::clicked, this, &Tgirlfrm::lblinfoClick);

    eyeclose = new Picture(this);
    eyeclose->setObjectName(QStringLiteral("eyeclose"));
    eyeclose->setGeometry(113, 19, 49, 14);

    auto* commandPanel = new TPanel(this);
    commandPanel->BevelOuter = TPanel::bvNone;
    menu = commandPanel;
    menu->setObjectName(QStringLiteral("menu"));
    menu->setGeometry(5, 4, 72, 86);
    menu->setAutoFillBackground(true);
    QPalette panel = menu->palette();
    panel.setColor(QPalette::Window, QColor(240, 240, 240));
    menu->setPalette(panel);
    auto makeButton = [this](const char* name, const QString& caption, const QRect& rect) {
        auto* button = new TSpeedButton(caption, menu);
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
    connect(btnreminder, &QPushButton::clicked, this, &Tgirlfrm::btnreminderClick);

    for (Picture* picture : {imggirl, eyeclose}) {
        connect(picture, &Picture::mousePressed, this, &Tgirlfrm::startDrag);
        picture->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(picture, &QWidget::customContextMenuRequested, this,
                [this, picture](const QPoint& at) {
                    menus().setTrayPresent(trayPresent());  // a tray may have come or gone
                    menus().pmenu2->popup(picture->mapToGlobal(at));
                });
    }
    connect(eyeclose, &Picture::frameChanged, this, &Tgirlfrm::eyeFrameChanged);
}

CompanionMenus& Tgirlfrm::menus() const {
    if (!menus_) const_cast<Tgirlfrm*>(this)->buildMenus();
    return *menus_;
}

void Tgirlfrm::buildMenus() {
    menus_ = std::make_unique<CompanionMenus>(this);
    // The main menu and the command panel are drawn flat; pmenu2 and pmanswer, made
    // after, keep the desktop's look.
    XPMenu1 = new TXPMenu(this);
    XPMenu1->setFont(pixelFont(QStringLiteral("Tahoma"), 11));
    XPMenu1->setActive(true);
    menus_->createOtherMenus(this);
    connect(menus_->N4, &QAction::triggered, this, &Tgirlfrm::N4Click);
    connect(menus_->N2, &QAction::triggered, btnreminder, &QPushButton::click);
    connect(menus_->N3, &QAction::triggered, btnmonth, &QPushButton::click);
    connect(menus_->nabout, &QAction::triggered, this, &Tgirlfrm::naboutClick);
    connect(menus_->nexit, &QAction::triggered, this, &Tgirlfrm::nexitClick);
    connect(btnset, &QPushButton::clicked, menus_->nset, &QAction::trigger);
    connect(menus_->N1, &QAction::triggered, this, &Tgirlfrm::N1Click);
    connect(menus_->N11, &QAction::triggered, this, &Tgirlfrm::N11Click);
    connect(menus_->N10, &QAction::triggered, this, &Tgirlfrm::N10Click);
    connect(menus_->nset, &QAction::triggered, this, &Tgirlfrm::nsetClick);
    connect(menus_->N13, &QAction::triggered, this, &Tgirlfrm::N13Click);
    connect(menus_->N12, &QAction::triggered, this, &Tgirlfrm::N12Click);
    connect(menus_->N14, &QAction::triggered, this, &Tgirlfrm::N14Click);
    connect(menus_->N16, &QAction::triggered, this, &Tgirlfrm::N16Click);
    connect(menus_->N17, &QAction::triggered, this, &Tgirlfrm::N17Click);
}

void Tgirlfrm::rtimerTimer() {
    if (tick_) tick_->tick();  // nothing to do before the memo database is open
}

void Tgirlfrm::N13Click() {
    if (answers_) answers_->view();
}

void Tgirlfrm::N12Click() {
    if (answers_) answers_->closeItem();
}

void Tgirlfrm::N14Click() {
    if (answers_) answers_->postponeItem();
}

void Tgirlfrm::N16Click() {
    if (answers_) answers_->snoozeItem(kSnoozeShortSeconds);
}

void Tgirlfrm::N17Click() {
    if (answers_) answers_->snoozeItem(kSnoozeLongSeconds);
}

void Tgirlfrm::nsetClick() {
    if (settingsExchange_) settingsExchange_->openSettings();
}

void Tgirlfrm::btnreminderClick() {
    if (memoLauncher_) memoLauncher_->startOrClose();
}

void Tgirlfrm::watchTimerTimer() {
    if (memoLauncher_) memoLauncher_->checkStillRunning();
}

// ---------------------------------------------------------------- start-up

StartupResult Tgirlfrm::FormCreate() { return startup_->run(); }

bool Tgirlfrm::startupComplete() const { return startup_->complete(); }

void Tgirlfrm::tellUser(const QString& text, bool isError) { startup_->tellUser(text, isError); }

MemoQuery& Tgirlfrm::attachDatabase(std::unique_ptr<MemoDatabase> database) {
    database_ = std::move(database);
    repeats_ = std::make_unique<StoredRepeats>(*database_);
    MessageBoxes& boxes = currentMessageBoxes();
    tick_ = std::make_unique<CompanionTick>(state_, *this, *database_, mp1, boxes,
                                            services_.activeWindow);
    if (services_.launcher && services_.processes) {
        memoLauncher_ = std::make_unique<MemoLauncher>(state_, *this, *services_.launcher,
                                                       *services_.processes);
        memoLauncher_->onWatchingChanged([this](bool on) {
            if (on)
                watchTimer.start();
            else
                watchTimer.stop();
        });
        if (services_.shutdown)
            answers_ = std::make_unique<MemoAnswers>(state_, *this, database_->query(), *repeats_,
                                                     *memoLauncher_, boxes, *services_.shutdown);
    }
    if (services_.autostart)
        settingsExchange_ = std::make_unique<SettingsExchange>(
            state_, *this, database_->query(), *services_.autostart, boxes,
            [this](const SettingsForm& form) {
                return runSettingsWindow(this, state_.datapath, form);
            });
    return database_->query();
}

MemoRepeats& Tgirlfrm::repeats() { return *repeats_; }

void Tgirlfrm::readconfig() {
    if (!services_.autostart) return;
    readCompanionSettings(state_, *services_.autostart,
                          [this](const QString& text) { tellUser(text, true); });
}

QStringList Tgirlfrm::loadSkins() {
    // The pictures for the screen she starts on; at one device pixel per pixel no other.
    skinsRatio_ = devicePixelRatioF();
    skins_.load(skinFolder(), skinsRatio_);
    showSkins();
    return skins_.errors();
}

void Tgirlfrm::followPixelRatio() {
    const qreal ratio = devicePixelRatioF();
    if ((ratio > 1.0) == (skinsRatio_ > 1.0)) return;  // the pictures in hand suit it
    SkinSet again;
    again.load(skinFolder(), ratio);
    // A skin that cannot be read now was reported at start-up or is new trouble: keep
    // showing the pictures in hand rather than lose one.
    if (!again.errors().isEmpty()) return;
    // "g1" holds the outfit on show; in memory it is the second outfit after an odd
    // number of changes.
    if (state_.skinno == 2) std::swap(again.pngg1, again.pngg2);
    skins_ = std::move(again);
    skinsRatio_ = ratio;
    showSkins();
}

void Tgirlfrm::showSkins() {
    setBubblePicture(skins_.*bubbleOnShow_);
    imggirl->setImage(state_.skinno == 2 ? skins_.pngg2 : skins_.pngg1);
    // Blinking redraws the eyes only; the shape follows the frames only where they differ
    // in what is see-through.
    eyeShapeVaries_ = false;
    if (!skins_.eyeFrames.empty()) {
        eyeclose->resize(skins_.eyeSize);
        QImage first;
        for (const PictureFrame& frame : skins_.eyeFrames) {
            eyeclose->setFrames({frame});
            const QImage shape = shapeOf(shape_->composedLook()).toImage();
            if (first.isNull())
                first = shape;
            else if (shape != first)
                eyeShapeVaries_ = true;
        }
        eyeclose->setFrames(skins_.eyeFrames);
    }
    shape_->schedule();
}

bool Tgirlfrm::dockTrayIcon() {
    hicon->setHint(kApplicationTitle);
    hicon->setPopupMenu(menus().pmenu);
    try {
        hicon->setVisible(true);
    } catch (const EOutOfResources&) {
        // No notification area on this desktop (yet); the icon docks when one appears.
    }
    const bool present = trayPresent();
    menus().setTrayPresent(present);
    return present;
}

void Tgirlfrm::showCentred() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    // The shape goes with the window when it is mapped, so that her first frame is cut out.
    shape_->updateIfScheduled();
    show();
}

bool Tgirlfrm::trayPresent() const { return hicon->Visible() && hicon->AreaAvailable(); }

// ---------------------------------------------------------------- outfit and dragging

void Tgirlfrm::N1Click() {
    const int shown = OutfitChange(skinFolder(), state_.skinno).change();
    imggirl->setImage(shown == 2 ? skins_.pngg2 : skins_.pngg1);
    shape_->schedule();
}

void Tgirlfrm::startDrag(Qt::MouseButton button) {
    // The right button stays free for the outfit menu.
    if (button != Qt::LeftButton) return;
    if (QWindow* window = windowHandle()) window->startSystemMove();
}

void Tgirlfrm::eyeFrameChanged() {
    secondBeat_.awake();  // the blink's wake-up carries this second's work too
    if (eyeShapeVaries_) shape_->schedule();
}

}  // namespace plumo
