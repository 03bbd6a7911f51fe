#include "events/event_editor_dlg.h"

#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QResizeEvent>
#include <algorithm>

#include "richtext/ruler_rich_edit_ctrl.h"
#include "storage/clock_manager.h"
#include "widgets/discard_changes.h"
#include "widgets/storage_action.h"
#include "widgets/stored_text.h"

using namespace zorvel;

namespace {
// 50 × 14 dialog units.
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

QString Count(size_t n) {
    return QLocale(QLocale::English).toString(static_cast<qulonglong>(n));
}
}  // namespace

CEventEditorDlg::CEventEditorDlg(const QString& title, const char* objectName,
                                 CClockManager& manager, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      manager_(manager) {
    // Modal to the window it belongs to only: a ring window that opens meanwhile still takes
    // its snooze and close.
    setWindowModality(Qt::WindowModal);
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(title);

    editor_ = new CRulerRichEditCtrl(this);
    editor_->SetRulerVisible(false);
    okButton_ = new QPushButton(QStringLiteral("确定"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    cancelButton_ = new QPushButton(QStringLiteral("取消"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    const int buttonHeight = std::max(kButtonHeight, okButton_->sizeHint().height());
    for (QPushButton* b : {okButton_, cancelButton_})
        b->resize(kButtonWidth, buttonHeight);
    connect(okButton_, &QPushButton::clicked, this, &CEventEditorDlg::OnOK);
    connect(cancelButton_, &QPushButton::clicked, this, &CEventEditorDlg::reject);
    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("memoNotice"));
    notice_->setTextFormat(Qt::PlainText);
    notice_->hide();
    connect(editor_, &CRulerRichEditCtrl::Loaded, this, &CEventEditorDlg::OnEditorState);

    setMinimumSize(360, 200);
    // The size it has when it is restored from maximised.
    resize(720, 480);
    setWindowState(windowState() | Qt::WindowMaximized);
    editor_->setFocus();
}

void CEventEditorDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOut();
}

void CEventEditorDlg::LayOut() {
    const int h = okButton_->height();
    editor_->setGeometry(4, 4, std::max(0, width() - 8), std::max(0, height() - h - 16));
    const int w = editor_->width();
    const int bottom = editor_->height();
    okButton_->move(w - 187, bottom + 10);
    cancelButton_->move(w - 107, bottom + 10);
    const int noticeHeight = notice_->sizeHint().height();
    notice_->setGeometry(8, bottom + 10 + (h - noticeHeight) / 2, std::max(0, w - 187 - 16),
                         noticeHeight);
}

QString CEventEditorDlg::ReadOnlyNotice(const rtf::EditorFit& fit) {
    QString what;
    if (fit.cut)
        what = QStringLiteral("这条记事有 %1 个字符，只显示了开头的 %2 个")
                   .arg(Count(fit.length), Count(rtf::kMaxMemoChars));
    else if (fit.longParagraph)
        what = QStringLiteral("这条记事有超过 %1 个字符的段落").arg(Count(rtf::kMaxParagraphChars));
    else if (fit.blankRun)
        what = QStringLiteral("这条记事有上千行连续的空行");
    else
        return {};
    return what + QStringLiteral("，只能查看，不能修改。");
}

void CEventEditorDlg::OnEditorState() {
    const QString text =
        editor_->IsLoading() ? QStringLiteral("正在打开记事……") : ReadOnlyNotice(editor_->Fit());
    notice_->setText(text);
    notice_->setToolTip(text);
    notice_->setVisible(!text.isEmpty());
    okButton_->setEnabled(!editor_->IsLoading() && !editor_->Fit().readOnly);
    LayOut();
}

void CEventEditorDlg::OnOK() {
    // A memo still opening, or shown only in part, is never saved from what the editor holds.
    if (editor_->IsLoading() || editor_->Fit().readOnly)
        return;
    const std::u16string plain = editor_->PlainText().toStdU16String();
    const std::u16string rich = editor_->GetRichText().toStdU16String();
    bool stored = false;
    if (!RunStorageAction(this, [&] { stored = Store(rich, plain); }))
        return;
    if (!stored) {
        ShowWarning(this, QStringLiteral("记事没有保存。"));
        return;
    }
    done(QDialog::Accepted);
}

void CEventEditorDlg::reject() {
    if (asking_)
        return;
    if (editor_->IsModified()) {
        asking_ = true;
        const bool discard = ConfirmDiscardChanges(this);
        asking_ = false;
        if (!discard) {
            editor_->setFocus();
            return;
        }
    }
    QDialog::reject();
}

// ---------------------------------------------------------------------- add

CAddEventDlg::CAddEventDlg(CClockManager& manager, QWidget* parent)
    : CEventEditorDlg(QStringLiteral("添加事件"), "addEventDlg", manager, parent) {
    okButton()->setDefault(true);
}

bool CAddEventDlg::Store(const std::u16string& rich, const std::u16string& plain) {
    return manager_.AddEvent(rich, plain);
}

// ---------------------------------------------------------------------- edit

CEditEventDlg::CEditEventDlg(const QString& id, CClockManager& manager, QWidget* parent)
    : CEventEditorDlg(QStringLiteral("编辑事件"), "editEventDlg", manager, parent), eventId(id) {
    EventRecord memo;
    if (!ReadItem([&] {
            manager_.GetEvent(eventId.toStdU16String(), &memo);
            return !memo.id.empty();
        }))
        return;
    editor()->SetRichText(FromStoredText(memo.content));
    OnEditorState();
    setWindowTitle(Caption(FromStoredText(memo.addTime), FromStoredText(memo.lastUpdateTime)));
    SetLoaded();
}

QString CEditEventDlg::Caption(const QString& addTime, const QString& lastUpdateTime) {
    QString caption = QStringLiteral("编辑事件   事件添加时间：") + addTime + QStringLiteral("   ");
    if (!lastUpdateTime.isEmpty())
        caption += QStringLiteral("最后修改时间：") + lastUpdateTime;
    return caption;
}

bool CEditEventDlg::Store(const std::u16string& rich, const std::u16string& plain) {
    // A memo deleted while it was open is kept as a new one: what was written is not lost.
    return manager_.ModifyEvent(eventId.toStdU16String(), rich, plain) ||
           manager_.AddEvent(rich, plain);
}
