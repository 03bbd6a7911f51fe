#include "settings/pwd_dlg_layout.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

CPwdDlgBase::CPwdDlgBase(CSettingsService& settings, const QString& title, const char* objectName,
                         const char* editName, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    // Modal to the window it belongs to only, never to a ringing alarm.
    setWindowModality(Qt::WindowModal);
    setObjectName(objectName);
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    fields_ = new QGridLayout;
    fields_->setHorizontalSpacing(8);
    fields_->setVerticalSpacing(10);
    fields_->setColumnStretch(1, 1);
    QLineEdit* edit = AddField(QStringLiteral("密码："), editName, QStringLiteral("密码"));

    auto* buttons = new QDialogButtonBox;
    buttons_ = buttons;
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName("cancelButton");
    QObject::connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setSpacing(16);
    layout->addLayout(fields_);
    layout->addStretch();
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    resize(330, 128);
    edit->setFocus();
    pwdEdit_ = edit;
}

QLineEdit* CPwdDlgBase::AddField(const QString& labelText, const char* editName,
                                 const QString& accessibleName) {
    auto* label = new QLabel(labelText);
    auto* edit = new QLineEdit;
    edit->setObjectName(editName);
    edit->setAccessibleName(accessibleName);
    edit->setMinimumWidth(200);
    // Nobody behind the user reads the password off the screen.
    edit->setEchoMode(QLineEdit::Password);
    label->setBuddy(edit);
    const int row = fields_->rowCount();
    fields_->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
    fields_->addWidget(edit, row, 1);
    edits_.push_back(edit);
    return edit;
}

CPwdDlgBase::~CPwdDlgBase() {
    if (worker_) {
        worker_->wait();
        delete worker_;
    }
}

void CPwdDlgBase::SetBusy(bool busy) {
    buttons_->setEnabled(!busy);
    for (QLineEdit* edit : edits_)
        edit->setReadOnly(busy);
    setCursor(busy ? Qt::BusyCursor : Qt::ArrowCursor);
}

void CPwdDlgBase::RunOffThread(std::function<void()> work, std::function<void()> done) {
    if (worker_)
        return;
    SetBusy(true);
    worker_ = QThread::create(std::move(work));
    connect(worker_, &QThread::finished, this, [this, done = std::move(done)] {
        worker_->deleteLater();
        worker_ = nullptr;
        SetBusy(false);
        if (isVisible())
            done();
    });
    worker_->start();
}
