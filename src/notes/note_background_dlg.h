#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>

#include "notes/core/wheel_steps.h"
#include "widgets/window_drag.h"

class CShowNoteDlg;
class CShownNotes;
class QAction;
class QMenu;
namespace zorvel {
class CDesktopShell;
}

// A sticky note on the desktop: a borderless, per-pixel transparent tool window (no taskbar
// button) showing the note picture, with the note's text (CShowNoteDlg) on top of it. It is
// dragged with the left button, scrolls its text with the wheel and the Up and Down keys, and
// offers "编辑", "删除" and "关闭" on its menu. The registry of shown notes makes and owns it.
class CNoteBackgroundDlg : public QWidget {
    Q_OBJECT
public:
    // Menu commands, in menu order.
    enum Command { kEditCommand, kDeleteCommand, kCloseCommand, kCommandCount };

    // The registry (and the shell, when given) must outlive the note.
    CNoteBackgroundDlg(const QString& noteId, const QString& text, CShownNotes& notes,
                       zorvel::CDesktopShell* shell);
    ~CNoteBackgroundDlg() override;

    void SetNoteText(const QString& text);

    const QString& NoteId() const { return noteId; }
    CShowNoteDlg* ContentDlg() const { return contentDlg; }
    QMenu* Menu() const { return menu_; }
    QAction* Action(Command command) const { return actions_[command]; }

    static QString CommandText(Command command);
    // The note picture at this pixel ratio, drawn once per ratio.
    static const QImage& Picture(qreal devicePixelRatio);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenu();
    void OnCommand(Command command);

    QString noteId;
    CShowNoteDlg* contentDlg;
    CShownNotes& notes_;
    zorvel::CDesktopShell* shell_;
    QMenu* menu_ = nullptr;
    QAction* actions_[kCommandCount] = {};
    zorvel::notes::WheelSteps wheel_;

    zorvel::CWindowDrag drag_;
};
