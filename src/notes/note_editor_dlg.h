#pragma once

#include <QDialog>
#include <QFont>
#include <QString>
#include <string>

#include "platform/core/clock.h"

class CClockManager;
class QPushButton;
class QTextEdit;

// What the two note editors share: the multi-line text with its character format, "确定" and
// "取消", the length limit and the fields every note stores. CAddNoteDlg and CEditNoteDlg add
// where the text comes from and where it goes. Closing with changes ("取消", Escape, the close
// box) first asks "是否放弃修改？".
class CNoteEditorDlg : public QDialog {
    Q_OBJECT
public:
    // The editor's character format: bold 10-point Song face in black. It is only how the
    // text is shown: a note is stored as plain text.
    static QFont EditorFont();
    // What a text over the limit is told: "便笺最多 450 个字符".
    static QString TooLongText();

    // Shows `text` as plain text, its line breaks whatever program stored them.
    void SetText(const QString& text);
    QTextEdit* textEdit() const { return textEdit_; }

    // Whether the text differs from what the editor opened with.
    bool HasChanges() const;
    // "取消", Escape and the close box: closes at once without changes, else asks first.
    void reject() override;

protected:
    // The manager, the clock and the registry must outlive the dialog.
    CNoteEditorDlg(const QString& title, const char* objectName, CClockManager& manager,
                   const zorvel::Clock& clock, QWidget* parent);

    // The text as it is stored; false (after telling the user) when it is too long, and the
    // dialog stays open with the text as it is.
    bool TextToStore(std::u16string* text);
    // Notes never ring: the time of saving goes into ringTime and nothing reads it.
    std::u16string RingTimeText() const;

    CClockManager& manager_;
    const zorvel::Clock& clock_;
    QTextEdit* textEdit_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;

private:
    QString openedWith_;
    bool asking_ = false;
};

// The constant fields of every stored note.
inline constexpr int kNoteIsRing = 1;
inline constexpr bool kNoteIsShowOnDesktop = true;
