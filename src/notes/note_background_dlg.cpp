#include "notes/note_background_dlg.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QWheelEvent>

#include "notes/core/note_placement.h"
#include "notes/show_note_dlg.h"
#include "notes/shown_notes.h"
#include "platform/desktop_shell.h"
#include "platform/log_categories.h"
#include "widgets/storage_action.h"

using zorvel::notes::kNoteHeight;
using zorvel::notes::kNoteWidth;

namespace {

struct CommandInfo {
    const char* text;
    const char* objectName;
};
const CommandInfo kCommands[CNoteBackgroundDlg::kCommandCount] = {
    {"编辑", "editNoteAction"},
    {"删除", "deleteNoteAction"},
    {"关闭", "closeNoteAction"},
};

// Where the keyboard-opened menu appears, from the note's top-left corner.
constexpr QPoint kKeyboardMenuOffset(20, 30);
// Alpha below this is invisible on any background; such pixels take no clicks.
constexpr int kVisibleAlpha = 8;

QImage RenderPicture(qreal dpr) {
    const QSize size(kNoteWidth, kNoteHeight);
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/notes/note.svg"));
    if (!svg.isValid()) {
        qCWarning(lcNotes, "the note picture is missing");
        return image;
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(QPointF(0, 0), size));
    return image;
}

// The pixels of the picture that can be seen: clicks elsewhere reach the window below.
QRegion CoveredRegion() {
    const QImage picture = RenderPicture(1.0);
    QRegion region;
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        int start = -1;
        for (int x = 0; x <= picture.width(); ++x) {
            const bool covered = x < picture.width() && qAlpha(row[x]) >= kVisibleAlpha;
            if (covered && start < 0) {
                start = x;
            } else if (!covered && start >= 0) {
                region += QRect(start, y, x - start, 1);
                start = -1;
            }
        }
    }
    return region;
}

}  // namespace

QString CNoteBackgroundDlg::CommandText(Command command) {
    return QString::fromUtf8(kCommands[command].text);
}

const QImage& CNoteBackgroundDlg::Picture(qreal devicePixelRatio) {
    static QImage picture;
    static qreal pictureRatio = 0;
    if (picture.isNull() || pictureRatio != devicePixelRatio) {
        picture = RenderPicture(devicePixelRatio);
        pictureRatio = devicePixelRatio;
    }
    return picture;
}

CNoteBackgroundDlg::CNoteBackgroundDlg(const QString& id, const QString& text, CShownNotes& notes,
                                       zorvel::CDesktopShell* shell)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint),
      noteId(id),
      notes_(notes),
      shell_(shell) {
    setObjectName(QStringLiteral("desktopNote"));
    setWindowTitle(QStringLiteral("便笺"));
    setAccessibleName(QStringLiteral("便笺"));
    setAttribute(Qt::WA_TranslucentBackground);
    // Hovering shows the whole note whether or not the note is the active window.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(kNoteWidth, kNoteHeight);
    static const QRegion covered = CoveredRegion();
    if (!covered.isEmpty())
        setMask(covered);

    contentDlg = new CShowNoteDlg(this);
    contentDlg->setGeometry(rect());
    contentDlg->SetNoteText(text);
    BuildMenu();
}

CNoteBackgroundDlg::~CNoteBackgroundDlg() = default;

void CNoteBackgroundDlg::BuildMenu() {
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("noteMenu"));
    for (int i = 0; i < kCommandCount; ++i) {
        QAction* action = menu_->addAction(QString::fromUtf8(kCommands[i].text));
        action->setObjectName(QString::fromLatin1(kCommands[i].objectName));
        connect(action, &QAction::triggered, this,
                [this, command = static_cast<Command>(i)] { OnCommand(command); });
        actions_[i] = action;
    }
}

void CNoteBackgroundDlg::SetNoteText(const QString& text) {
    contentDlg->SetNoteText(text);
}

void CNoteBackgroundDlg::OnCommand(Command command) {
    // The registry may take this window away: work on a copy of the id.
    const QString id = noteId;
    switch (command) {
        case kEditCommand:
            notes_.EditNote(id);
            break;
        case kDeleteCommand:
            zorvel::RunStorageAction(this, [&] { notes_.DeleteNoteEverywhere(id); });
            break;
        case kCloseCommand:
            notes_.ForgetDesktopNote(id);
            break;
        case kCommandCount:
            break;
    }
}

void CNoteBackgroundDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPointF(0, 0), Picture(devicePixelRatioF()));
}

void CNoteBackgroundDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    // A click on the note (its text included) makes it the active window, for the keys.
    if (shell_) {
        shell_->ActivateWindow(this);
    } else {
        raise();
        activateWindow();
    }
    drag_.Press(*event);
}

void CNoteBackgroundDlg::mouseMoveEvent(QMouseEvent* event) {
    drag_.Move(*this, shell_, *event);
}

void CNoteBackgroundDlg::mouseReleaseEvent(QMouseEvent* event) {
    drag_.Release(*event);
    QWidget::mouseReleaseEvent(event);
}

void CNoteBackgroundDlg::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint at = zorvel::ContextMenuAt(*this, *event, kKeyboardMenuOffset);
    // Not a nested event loop: a ringing alarm's window keeps taking its clicks.
    menu_->popup(at);
}

void CNoteBackgroundDlg::wheelEvent(QWheelEvent* event) {
    const int lines = wheel_.Add(event->angleDelta().y());
    if (lines != 0)
        contentDlg->ScrollLines(lines);
    event->accept();
}

void CNoteBackgroundDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
            contentDlg->ScrollLines(1);
            break;
        case Qt::Key_Down:
            contentDlg->ScrollLines(-1);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            // A note leaves the desktop through its menu (or the window system's close), not
            // through a stray key.
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void CNoteBackgroundDlg::closeEvent(QCloseEvent* event) {
    // Closed by the window system (Alt+F4, a window menu): the same as "关闭".
    event->accept();
    notes_.ForgetDesktopNote(noteId);
}
