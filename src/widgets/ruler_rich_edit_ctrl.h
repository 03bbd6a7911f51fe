#pragma once

#include <QColor>
#include <QString>
#include <QTextEdit>
#include <QWidget>
#include <optional>

class CColourPicker;
class QAction;
class QComboBox;
class QToolBar;

// The text area of the rich-text editor. What is pasted or dropped into it is reduced to what
// the memo can store (text with the toolbar's formats), so nothing that shows in the editor
// is lost when the memo is saved.
class CRichTextArea : public QTextEdit {
    Q_OBJECT
public:
    explicit CRichTextArea(QWidget* parent = nullptr);

    // The insets around the text; kept when the content is replaced.
    void ApplyInsets();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

// The tab-stop ruler between the toolbar and the text: one tick an eighth of an inch, a mark
// at each default tab stop.
class CRuler : public QWidget {
    Q_OBJECT
public:
    explicit CRuler(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The rich-text editor of the memo dialogs: a formatting toolbar, a ruler (the memo dialogs
// hide it) and the text area. Every toolbar item applies to the selection (or to what is
// typed next), hands the focus back to the text, and shows the selection's format whenever
// the selection changes.
class CRulerRichEditCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CRulerRichEditCtrl(QWidget* parent = nullptr);

    void SetRulerVisible(bool visible);
    bool IsRulerVisible() const;

    // Replaces the whole content with an RTF text (or, when it is not RTF, plain text).
    void SetRichText(const QString& rtf);
    // The whole content as RTF.
    QString GetRichText() const;
    // The plain text of the memo ("\r\n" between lines).
    QString PlainText() const;

    bool IsModified() const;

    CRichTextArea* textArea() const { return text_; }
    QToolBar* toolBar() const { return toolBar_; }
    CRuler* ruler() const { return ruler_; }
    QComboBox* fontNameCombo() const { return fontName_; }
    QComboBox* fontSizeCombo() const { return fontSize_; }
    CColourPicker* colourPicker() const { return colour_; }

    // The toolbar's commands.
    void OnFont();
    void ApplyFontName(const QString& name);
    void ApplyFontSize(const QString& size);
    void ApplyColour(const std::optional<QColor>& colour);
    void OnBold();
    void OnItalic();
    void OnUnderline();
    void OnAlign(Qt::Alignment alignment);
    void OnIndent();
    void OnOutdent();
    void OnBullets();

    // Shows the selection's format on the toolbar.
    void UpdateToolbar();

    // The sizes the size list offers.
    static const QStringList& FontSizes();

protected:
    // Enter and Escape in a toolbar list end the input there; they do not reach the dialog.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ApplyOnEnter(QComboBox* combo, void (CRulerRichEditCtrl::*apply)(const QString&));
    QAction* AddButton(const char* name, const QString& text, const char* icon, bool checkable);
    void MergeFormat(const QTextCharFormat& format);
    // Moves the selected paragraphs' left indents to the next (+1) or previous (-1) tab stop.
    void StepIndent(int direction);
    void BackToText();

    QToolBar* toolBar_;
    CRuler* ruler_;
    CRichTextArea* text_;
    QAction* fontAction_;
    QComboBox* fontName_;
    QComboBox* fontSize_;
    CColourPicker* colour_;
    QAction* bold_;
    QAction* italic_;
    QAction* underline_;
    QAction* alignLeft_;
    QAction* alignCenter_;
    QAction* alignRight_;
    QAction* indent_;
    QAction* outdent_;
    QAction* bullets_;
};
