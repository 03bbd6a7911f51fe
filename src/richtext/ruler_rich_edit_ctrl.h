#pragma once

#include <QColor>
#include <QString>
#include <QTextEdit>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "widgets/core/memo_limits.h"

class CColourPicker;
class QAction;
class QTimer;

namespace zorvel {
class CModelFiller;
}
class QComboBox;
class QToolBar;

// The text area of the rich-text editor. What is pasted or dropped into it is reduced to what
// the memo can store (text with the toolbar's formats), so nothing that shows in the editor
// is lost when the memo is saved; what would make the memo longer than the editor edits
// (rtf::kMaxMemoChars, or rtf::kMaxParagraphChars in a paragraph) is refused with a message.
class CRichTextArea : public QTextEdit {
    Q_OBJECT
public:
    explicit CRichTextArea(QWidget* parent = nullptr);

    // The insets around the text; kept when the content is replaced.
    void ApplyInsets();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Refuses, with a message, pasting paragraphs of these lengths in place of the selection
    // when the memo would grow beyond what the editor edits.
    bool RefuseTooLong(const std::vector<size_t>& paragraphs);
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
    ~CRulerRichEditCtrl() override;

    void SetRulerVisible(bool visible);
    bool IsRulerVisible() const;

    // Replaces the whole content with an RTF text (or, when it is not RTF, plain text). A
    // short memo is in at once. A long one is read off the window's thread and then laid out
    // a slice at a time, the window running in between: IsLoading() holds meanwhile, the
    // text is read-only, and Loaded() is raised at the end. A memo larger than the editor
    // edits is shown for reading only (see rtf::FitForEditor and Fit()).
    void SetRichText(const QString& rtf);
    // The whole content as RTF.
    QString GetRichText() const;
    // The plain text of the memo ("\r\n" between lines).
    QString PlainText() const;

    // Changed by the user since SetRichText; never while loading or for reading only.
    bool IsModified() const;
    bool IsLoading() const { return loading_; }
    // How the memo last given to SetRichText was taken on; readOnly: never save from here.
    const zorvel::rtf::EditorFit& Fit() const { return fit_; }

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

signals:
    void Loaded();

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
    // Shows a memo read into the model; a long one slice by slice.
    void Show(zorvel::rtf::Document model, const zorvel::rtf::EditorFit& fit);
    void FillStep();
    void FinishLoading();

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

    bool loading_ = false;
    zorvel::rtf::EditorFit fit_;
    std::unique_ptr<zorvel::CModelFiller> filler_;
    QTimer* fillTimer_;
    unsigned loadNumber_ = 0;  // tells a reading that finishes late from the current one
};
