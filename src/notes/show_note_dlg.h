#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class CNoteTextView;

// The text of a desktop note: a see-through layer exactly over the note's picture with the
// note's text written in the paper's writing area. The text is only shown, never edited:
// mouse and keys go to the note itself. Hovering over the text shows the whole note.
class CShowNoteDlg : public QWidget {
    Q_OBJECT
public:
    // Where the text is written on the 150 × 159 picture.
    static const QRect kTextArea;

    explicit CShowNoteDlg(QWidget* owner);

    // Replaces the text shown, from its first line, and the tooltip with it.
    void SetNoteText(const QString& text);
    const QString& noteText() const { return noteText_; }
    // Scrolls the text by whole lines: positive back (up), negative forward (down).
    void ScrollLines(int lines);

    CNoteTextView* textView() const { return textView_; }
    // The rich text of the tooltip.
    const QString& toolTipText() const { return toolTip_; }

protected:
    bool event(QEvent* event) override;

private:
    CNoteTextView* textView_;
    QString noteText_;
    QString toolTip_;
    const QColor textColor = Qt::black;
};
