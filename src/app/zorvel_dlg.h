#pragma once

#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <memory>

#include "app/clock_art.h"
#include "app/core/clock_geometry.h"
#include "widgets/window_drag.h"

class QAction;
class QMenu;
class QTimer;
class CAppContext;
class CMainDlg;

namespace zorvel {
class CDesktopShell;
}

// The desktop clock: a borderless, per-pixel transparent window at the screen's top-left that
// shows the analog clock with its digital read-out, redrawn every 500 ms. It owns the main
// window (built when shown, destroyed once closed) and the tray icon; its menu is the entry to
// every function of the program.
class CZorvelDlg : public QWidget {
    Q_OBJECT

public:
    // Menu commands, in menu order.
    enum Command {
        kAlarmsCommand,
        kNotesCommand,
        kEventsCommand,
        kLogCommand,
        kSettingsCommand,
        kToolsCommand,
        kHomePageCommand,
        kHideCommand,
        kHelpCommand,
        kExitCommand,
        kCommandCount
    };

    // The context (with its desktop shell) must outlive the clock. Loads the artwork, adds the
    // tray icon and draws the first frame; the caller shows the clock. The main window is made
    // when it is asked for.
    explicit CZorvelDlg(CAppContext& context, QWidget* parent = nullptr);
    ~CZorvelDlg() override;

    // Draws the current time with opacity percentage p (out of range means 100).
    void Draw(int percent);

    // The picture on screen and the face frame of the last draw.
    QImage Frame() const { return art_.Render(shownTime_, lastFaceFrame_); }
    zorvel::clock::FaceFrame LastFaceFrame() const { return lastFaceFrame_; }

    // The main window, or nullptr while there is none (never shown, or closed and destroyed).
    CMainDlg* MainDlg() const { return mainDlg_.get(); }
    // Destroys the main window when it is closed, no dialog of it is open and no dialog runs
    // anywhere (a page's code may be waiting for one). The next ShowMainWindow builds it again
    // on the page it showed last. True when it was destroyed.
    bool ReleaseMainWindowIfIdle();
    QMenu* Menu() const { return menu_; }
    QAction* Action(Command command) const { return actions_[command]; }
    bool IsClockShown() const { return isClockShown_; }

    // Shows the main window on top (and on `page` when it is a page number).
    void ShowMainWindow(int page = -1);
    // "隐藏闹钟": hides the clock, unless no tray exists to bring it back from.
    void HideClock();
    // A left click on the tray icon.
    void OnTrayLeftClick();
    // Enables "隐藏闹钟" only while a tray exists to bring the clock back.
    void UpdateMenu();

    // The menu text of each command.
    static QString CommandText(Command command);

signals:
    // "退出(&X)": the program should end.
    void exitRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildMenu();
    void OnTick();

    CAppContext& context_;
    zorvel::CDesktopShell& shell_;
    std::unique_ptr<CMainDlg> mainDlg_;
    int lastPage_ = -1;  // the page the main window showed when it was destroyed
    zorvel::CClockArt art_;
    QIcon icon_;
    zorvel::ClockTime shownTime_;
    zorvel::clock::FaceFrameSequence frames_;
    zorvel::clock::FaceFrame lastFaceFrame_ = zorvel::clock::FaceFrame::kB;
    QMenu* menu_ = nullptr;
    QAction* actions_[kCommandCount] = {};
    QTimer* timer_ = nullptr;
    bool isClockShown_ = true;
    int alpha_ = -1;

    zorvel::CWindowDrag drag_;
};

// The application icon, from its rendered sizes.
QIcon ZorvelIcon();
