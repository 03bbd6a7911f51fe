#include "app/zorvel_dlg.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWindow>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "app/app_context.h"
#include "app/main_dlg.h"
#include "platform/desktop_shell.h"
#include "platform/log_categories.h"

using zorvel::clock::FaceFrame;

namespace {
constexpr int kRedrawMs = 500;
// Where the keyboard-opened menu appears, from the clock's top-left corner.
constexpr QPoint kKeyboardMenuOffset(5, 5);

struct CommandInfo {
    const char* text;
    const char* objectName;
    int page;  // main window page it shows, or -1
};
const CommandInfo kCommands[CZorvelDlg::kCommandCount] = {
    {"我的闹钟", "alarmsAction", CMainDlg::kAlarmPage},
    {"我的便笺", "notesAction", CMainDlg::kNotesPage},
    {"我的记事", "eventsAction", CMainDlg::kEventsPage},
    {"用户日志", "logAction", CMainDlg::kLogPage},
    {"软件设置", "settingsAction", CMainDlg::kSettingsPage},
    {"趣味工具", "toolsAction", CMainDlg::kToolsPage},
    {"访问主页", "homePageAction", CMainDlg::kHomePage},
    {"隐藏闹钟", "hideClockAction", -1},
    {"帮助", "helpAction", CMainDlg::kHelpPage},
    {"退出(&X)", "exitAction", -1},
};
}  // namespace

QIcon ZorvelIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/zorvel-%1.png").arg(size), QSize(size, size));
    return icon;
}

QString CZorvelDlg::CommandText(Command command) {
    return QString::fromUtf8(kCommands[command].text);
}

CZorvelDlg::CZorvelDlg(CAppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint),
      context_(context),
      shell_(*context.platform().shell),
      icon_(ZorvelIcon()) {
    setObjectName(QStringLiteral("clockDlg"));
    setWindowTitle(QStringLiteral("Zorvel"));
    setAccessibleName(QStringLiteral("Zorvel"));
    setWindowIcon(icon_);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::StrongFocus);

    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!art_.Load(QString::fromLatin1(zorvel::CClockArt::kBuiltIn),
                   screen ? screen->devicePixelRatio() : 1.0))
        qCWarning(lcApp, "the clock's artwork is incomplete");
    const QSize size = art_.FaceSize().isEmpty() ? QSize(268, 268) : art_.FaceSize();
    setFixedSize(size);
    // Clicks on the see-through parts reach the desktop below, as they would on any picture.
    // The shape goes on the native window only: as a widget mask it would also clip every
    // repaint to hundreds of rectangles, and the clock repaints twice a second.
    const QRegion covered = art_.CoveredRegion();
    if (!covered.isEmpty()) {
        winId();
        windowHandle()->setMask(covered);
    }
    if (screen)
        move(screen->geometry().topLeft());

    BuildMenu();
    shell_.ShowTrayIcon(icon_, QStringLiteral("Zorvel"), menu_, [this] { OnTrayLeftClick(); });

    Draw(255);
    timer_ = new QTimer(this);
    timer_->setInterval(kRedrawMs);
    connect(timer_, &QTimer::timeout, this, &CZorvelDlg::OnTick);
    timer_->start();
}

CZorvelDlg::~CZorvelDlg() {
    mainDlg_.reset();
    shell_.RemoveTrayIcon();
}

void CZorvelDlg::BuildMenu() {
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("clockMenu"));
    for (int i = 0; i < kCommandCount; ++i) {
        const CommandInfo& info = kCommands[i];
        QAction* action = menu_->addAction(QString::fromUtf8(info.text));
        action->setObjectName(QString::fromLatin1(info.objectName));
        actions_[i] = action;
        if (info.page >= 0) {
            connect(action, &QAction::triggered, this,
                    [this, page = info.page] { ShowMainWindow(page); });
        }
    }
    connect(actions_[kHideCommand], &QAction::triggered, this, &CZorvelDlg::HideClock);
    connect(actions_[kExitCommand], &QAction::triggered, this, &CZorvelDlg::exitRequested);
    connect(menu_, &QMenu::aboutToShow, this, &CZorvelDlg::UpdateMenu);
    UpdateMenu();
}

void CZorvelDlg::UpdateMenu() {
    actions_[kHideCommand]->setEnabled(shell_.HasSystemTray());
}

void CZorvelDlg::Draw(int percent) {
    // Moved to a screen of another pixel density: the artwork is rasterised again for it, so
    // the clock stays sharp instead of being scaled.
    const qreal ratio = devicePixelRatioF();
    if (ratio != art_.DevicePixelRatio())
        art_.Load(QString::fromLatin1(zorvel::CClockArt::kBuiltIn), ratio);
    lastFaceFrame_ = frames_.Next();
    shownTime_ = zorvel::ClockTimeOf(context_.clock());
    const int alpha = zorvel::clock::ConstantAlpha(percent);
    if (alpha != alpha_) {
        alpha_ = alpha;
        setWindowOpacity(alpha / 255.0);
    }
    update();
}

void CZorvelDlg::OnTick() {
    // Without a tray the hidden clock could never be brought back: show it again.
    if (!isClockShown_ && !shell_.HasSystemTray()) {
        show();
        isClockShown_ = true;
    }
    // A main window kept by a dialog that has closed since goes now.
    ReleaseMainWindowIfIdle();
    Draw(255);
}

void CZorvelDlg::ShowMainWindow(int page) {
    if (!mainDlg_) {
        mainDlg_ = std::make_unique<CMainDlg>(context_);
        mainDlg_->setWindowIcon(icon_);
        if (page < 0 && lastPage_ >= 0)
            mainDlg_->SelectPage(lastPage_);
        // Not at once: the window may be hiding from inside one of its own handlers.
        connect(mainDlg_.get(), &CMainDlg::Hidden, this,
                [this] { QTimer::singleShot(0, this, [this] { ReleaseMainWindowIfIdle(); }); });
    }
    mainDlg_->showNormal();
    shell_.ActivateWindow(mainDlg_.get());
    if (page >= 0)
        mainDlg_->SelectPage(page);
}

bool CZorvelDlg::ReleaseMainWindowIfIdle() {
    if (!mainDlg_ || mainDlg_->isVisible() || mainDlg_->HasOpenDialog())
        return false;
    // A dialog running anywhere may have been opened by a page, whose code goes on after it.
    if (QThread::currentThread()->loopLevel() > 1)
        return false;
    lastPage_ = mainDlg_->CurrentPage();
    mainDlg_.reset();
#ifdef __GLIBC__
    // The pages' memory goes back to the system rather than waiting in the heap.
    malloc_trim(0);
#endif
    return true;
}

void CZorvelDlg::HideClock() {
    if (!shell_.HasSystemTray())
        return;
    hide();
    isClockShown_ = false;
}

void CZorvelDlg::OnTrayLeftClick() {
    if (isClockShown_) {
        if (shell_.IsActiveWindow(this)) {
            hide();
            isClockShown_ = false;
        } else {
            shell_.ActivateWindow(this);
        }
        return;
    }
    show();
    shell_.ActivateWindow(this);
    isClockShown_ = true;
}

void CZorvelDlg::paintEvent(QPaintEvent*) {
    // Drawn straight onto the window: a frame kept in between would cost a copy of the whole
    // picture twice a second.
    QPainter painter(this);
    art_.Paint(painter, shownTime_, lastFaceFrame_);
}

void CZorvelDlg::mousePressEvent(QMouseEvent* event) {
    if (!drag_.Press(*event))
        QWidget::mousePressEvent(event);
}

void CZorvelDlg::mouseMoveEvent(QMouseEvent* event) {
    drag_.Move(*this, &shell_, *event);
}

void CZorvelDlg::mouseReleaseEvent(QMouseEvent* event) {
    drag_.Release(*event);
    QWidget::mouseReleaseEvent(event);
}

void CZorvelDlg::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        ShowMainWindow();
}

void CZorvelDlg::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint at = zorvel::ContextMenuAt(*this, *event, kKeyboardMenuOffset);
    menu_->popup(at);
}

void CZorvelDlg::keyPressEvent(QKeyEvent* event) {
    // The clock is closed only from its menu: Enter and Escape do nothing.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}
