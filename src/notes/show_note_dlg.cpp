#include "notes/show_note_dlg.h"

#include <QHelpEvent>
#include <QToolTip>

#include "notes/note_text_view.h"

const QRect CShowNoteDlg::kTextArea(18, 29, 123, 99);

namespace {

// The tooltip takes its look from the style sheet of the widget it is shown for: a pale to
// deep yellow gradient, like the note.
const char kStyleSheet[] =
    "QToolTip { color: black; border: 1px solid rgb(201, 162, 39); padding: 3px 5px;"
    " background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 rgb(255, 255, 220),"
    " stop: 0.5 rgb(255, 231, 161), stop: 1 rgb(254, 218, 108)); }";

// Line breaks as any program stores them (CR LF, CR or LF) become plain LF.
QString ShownText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

}  // namespace

CShowNoteDlg::CShowNoteDlg(QWidget* owner) : QWidget(owner) {
    setObjectName(QStringLiteral("showNoteDlg"));
    setAttribute(Qt::WA_TranslucentBackground);
    setStyleSheet(QString::fromLatin1(kStyleSheet));

    textView_ = new CNoteTextView(this);
    textView_->setObjectName(QStringLiteral("noteText"));
    textView_->setGeometry(kTextArea);
    // The paper's right edge runs close to the area's: keep the text clear of it.
    textView_->setContentsMargins(0, 0, 6, 0);
    // Clicks, drags, the wheel and the menu belong to the note; the text is only shown.
    textView_->setAttribute(Qt::WA_TransparentForMouseEvents);
    textView_->setFocusPolicy(Qt::NoFocus);
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPointSize(8);
    textView_->setFont(font);
    QPalette palette = textView_->palette();
    palette.setColor(QPalette::WindowText, textColor);
    textView_->setPalette(palette);
}

void CShowNoteDlg::SetNoteText(const QString& text) {
    noteText_ = ShownText(text);
    textView_->SetText(noteText_);
    // Screen readers read the note itself.
    textView_->setAccessibleName(noteText_);
    toolTip_ = noteText_.isEmpty() ? QString()
                                   : QStringLiteral("<div style='white-space: pre-wrap'>%1</div>")
                                         .arg(noteText_.toHtmlEscaped());
    if (QToolTip::isVisible() && underMouse())
        QToolTip::hideText();
}

void CShowNoteDlg::ScrollLines(int lines) {
    textView_->SetFirstLine(textView_->FirstLine() - lines);
}

bool CShowNoteDlg::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QRect area = textView_->geometry();
        if (area.contains(help->pos()) && !toolTip_.isEmpty())
            QToolTip::showText(help->globalPos(), toolTip_, this, area);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
