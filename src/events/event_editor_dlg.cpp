#include "events/event_editor_dlg.h"

#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <algorithm>

#include "storage/clock_manager.h"
#include "widgets/ruler_rich_edit_ctrl.h"
#include "widgets/storage_action.h"
#include "widgets/stored_text.h"

using namespace zorvel;

namespace {
// 50 × 14 dialog units.
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
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
    // "取消" is a deliberate choice: it closes without asking.
    connect(cancelButton_, &QPushButton::clicked, this, [this] { QDialog::reject(); });

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
}

void CEventEditorDlg::OnOK() {
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
    if (!editor_->IsModified()) {
        QDialog::reject();
        return;
    }
    if (question_)
        return;  // already asking
    // Asked without waiting in a nested event loop: the answer closes the dialog or not.
    question_ =
        new QMessageBox(QMessageBox::Question, QStringLiteral("Zorvel"),
                        QStringLiteral("是否放弃修改？"), QMessageBox::Yes | QMessageBox::No, this);
    question_->setObjectName(QStringLiteral("discardQuestion"));
    question_->setDefaultButton(QMessageBox::No);
    question_->setEscapeButton(QMessageBox::No);
    question_->setAttribute(Qt::WA_DeleteOnClose);
    question_->setWindowModality(Qt::WindowModal);
    connect(question_, &QMessageBox::finished, this, [this](int answer) {
        question_ = nullptr;
        if (answer == QMessageBox::Yes)
            QDialog::reject();
        else
            editor_->setFocus();
    });
    question_->show();
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
    try {
        manager_.GetEvent(eventId.toStdU16String(), &memo);
    } catch (const CppSQLite3Exception& e) {
        loadResult_ = Load::kFailed;
        loadError_ = StorageErrorText(e);
        return;
    }
    if (memo.id.empty())
        return;
    editor()->SetRichText(FromStoredText(memo.content));
    setWindowTitle(Caption(FromStoredText(memo.addTime), FromStoredText(memo.lastUpdateTime)));
    loadResult_ = Load::kLoaded;
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
