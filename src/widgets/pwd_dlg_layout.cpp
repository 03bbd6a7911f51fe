#include "widgets/pwd_dlg_layout.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

CPwdDlgBase::CPwdDlgBase(CClockDatabase& database, const QString& title, const char* objectName,
                         const char* editName, QWidget* parent)
    : QDialog(parent), database_(database) {
    // Modal to the window it belongs to only, never to a ringing alarm.
    setWindowModality(Qt::WindowModal);
    setObjectName(objectName);
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* label = new QLabel(QStringLiteral("密码："));
    auto* edit = new QLineEdit;
    edit->setObjectName(editName);
    edit->setAccessibleName(QStringLiteral("密码"));
    edit->setMinimumWidth(200);
    // Nobody behind the user reads the password off the screen.
    edit->setEchoMode(QLineEdit::Password);
    label->setBuddy(edit);

    auto* buttons = new QDialogButtonBox;
    buttons_ = buttons;
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName("cancelButton");
    QObject::connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    row->addWidget(label);
    row->addWidget(edit, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setSpacing(16);
    layout->addLayout(row);
    layout->addStretch();
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    resize(330, 128);
    edit->setFocus();
    pwdEdit_ = edit;
}

CPwdDlgBase::~CPwdDlgBase() {
    if (worker_) {
        worker_->wait();
        delete worker_;
    }
}

void CPwdDlgBase::SetBusy(bool busy) {
    buttons_->setEnabled(!busy);
    pwdEdit_->setReadOnly(busy);
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
