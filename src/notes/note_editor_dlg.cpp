#include "notes/note_editor_dlg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "storage/clock_manager.h"
#include "storage/time_text.h"
#include "widgets/discard_changes.h"
#include "widgets/message_box.h"

QFont CNoteEditorDlg::EditorFont() {
    QFont font(QStringLiteral("Noto Serif CJK SC"));
    font.setPointSize(10);
    font.setBold(true);
    font.setItalic(false);
    font.setUnderline(false);
    return font;
}

CNoteEditorDlg::CNoteEditorDlg(const QString& title, const char* objectName, CClockManager& manager,
                               const zorvel::Clock& clock, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      manager_(manager),
      clock_(clock) {
    // Modal to the window it belongs to only: a ring window that opens meanwhile still takes
    // its snooze and close.
    setWindowModality(Qt::WindowModal);
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(title);

    textEdit_ = new QTextEdit;
    textEdit_->setObjectName(QStringLiteral("noteEdit"));
    textEdit_->setAccessibleName(QStringLiteral("便笺内容"));
    // Only plain text is stored, so only plain text goes in (pasting and dropping too).
    textEdit_->setAcceptRichText(false);
    textEdit_->setLineWrapMode(QTextEdit::WidgetWidth);
    // Return makes a new line; Tab moves on to the buttons.
    textEdit_->setTabChangesFocus(true);
    textEdit_->setFont(EditorFont());
    QPalette palette = textEdit_->palette();
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Base, Qt::white);
    textEdit_->setPalette(palette);

    okButton_ = new QPushButton(QStringLiteral("确定"));
    okButton_->setObjectName(QStringLiteral("okButton"));
    cancelButton_ = new QPushButton(QStringLiteral("取消"));
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    // Neither is the default button: Return belongs to the text.
    for (QPushButton* button : {okButton_, cancelButton_}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setMinimumWidth(80);
    }
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addSpacing(4);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    layout->addWidget(textEdit_, 1);
    layout->addLayout(buttons);
    // 316 × 185 dialog units.
    setFixedSize(474, 296);
    textEdit_->setFocus();
}

void CNoteEditorDlg::SetText(const QString& text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    textEdit_->setPlainText(plain);
    textEdit_->moveCursor(QTextCursor::End);
    openedWith_ = textEdit_->toPlainText();
}

bool CNoteEditorDlg::HasChanges() const {
    return textEdit_->toPlainText() != openedWith_;
}

void CNoteEditorDlg::reject() {
    if (asking_)
        return;
    if (HasChanges()) {
        asking_ = true;
        const bool discard = zorvel::ConfirmDiscardChanges(this);
        asking_ = false;
        if (!discard) {
            textEdit_->setFocus();
            return;
        }
    }
    QDialog::reject();
}

bool CNoteEditorDlg::TextToStore(std::u16string* text) {
    const QString plain = textEdit_->toPlainText();
    if (static_cast<size_t>(plain.size()) > CClockManager::kMaxContentUnits) {
        zorvel::ShowWarning(this, TooLongText());
        return false;
    }
    *text = plain.toStdU16String();
    return true;
}

QString CNoteEditorDlg::TooLongText() {
    return QStringLiteral("便笺最多 %1 个字符").arg(CClockManager::kMaxContentUnits);
}

std::u16string CNoteEditorDlg::RingTimeText() const {
    const std::string now = zorvel::FormatTimeText(clock_.Now());
    return std::u16string(now.begin(), now.end());
}
