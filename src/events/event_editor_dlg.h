#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "widgets/core/memo_limits.h"

#include "widgets/editor_load.h"

class CClockManager;
class CRulerRichEditCtrl;
class QLabel;
class QPushButton;

// What the two memo editors share: the rich-text editor filling the dialog, "确定" and "取消"
// at the bottom right, opening maximised, and saving the memo's RTF and plain text. "取消",
// Escape and the close box with unsaved changes first ask "是否放弃修改？". A line at the
// bottom left says when a memo is being opened, or is shown for reading only (too long to
// edit): "确定" then saves nothing.
class CEventEditorDlg : public QDialog {
    Q_OBJECT
public:
    CRulerRichEditCtrl* editor() const { return editor_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    QLabel* noticeLabel() const { return notice_; }

    // Saves and closes; a storage error keeps the dialog open with what was written.
    void OnOK();
    // "取消", Escape and the close box: closes at once when nothing was changed, else asks
    // first.
    void reject() override;

    // What the notice line says about a memo shown for reading only; empty when it is not.
    static QString ReadOnlyNotice(const zorvel::rtf::EditorFit& fit);

protected:
    // The manager must outlive the dialog.
    CEventEditorDlg(const QString& title, const char* objectName, CClockManager& manager,
                    QWidget* parent);

    // Stores the memo; false when it could not be stored (nothing was written).
    virtual bool Store(const std::u16string& rich, const std::u16string& plain) = 0;

    void accept() override { OnOK(); }
    // The notice line and "确定" follow the editor's loading and what it shows.
    void OnEditorState();
    void resizeEvent(QResizeEvent* event) override;

    CClockManager& manager_;

private:
    // The editor at (4, 4) filling the dialog but for the buttons' row; "确定" and "取消"
    // 6 pixels above the bottom edge, 80 pixels apart, measured from the editor's right end.
    void LayOut();

    CRulerRichEditCtrl* editor_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    QLabel* notice_;
    bool asking_ = false;
};

// "添加事件": writes a new memo.
class CAddEventDlg : public CEventEditorDlg {
    Q_OBJECT
public:
    CAddEventDlg(CClockManager& manager, QWidget* parent);

protected:
    bool Store(const std::u16string& rich, const std::u16string& plain) override;
};

// "编辑事件": changes a stored memo, identified by its id. The caption names when it was
// added and, once it has been changed, when it was changed last.
class CEditEventDlg : public CEventEditorDlg, public CEditorLoad {
    Q_OBJECT
public:
    CEditEventDlg(const QString& eventId, CClockManager& manager, QWidget* parent);

    // "编辑事件   事件添加时间：<added>   " followed, once changed, by
    // "最后修改时间：<changed>".
    static QString Caption(const QString& addTime, const QString& lastUpdateTime);

    const QString eventId;

protected:
    bool Store(const std::u16string& rich, const std::u16string& plain) override;
};
