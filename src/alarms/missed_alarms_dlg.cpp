#include "alarms/missed_alarms_dlg.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "alarms/core/alarm_time.h"
#include "widgets/stored_text.h"

CMissedAlarmsDlg::CMissedAlarmsDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName("missedAlarmsDlg");
    setWindowTitle(QStringLiteral("错过的闹钟"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* intro =
        new QLabel(QStringLiteral("以下闹钟响铃时，电脑处于休眠或关闭状态，闹钟未能响起："));
    intro->setObjectName("missedIntro");
    intro->setWordWrap(true);
    list_ = new QListWidget;
    list_->setObjectName("missedList");
    list_->setAccessibleName(QStringLiteral("错过的闹钟"));
    intro->setBuddy(list_);
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(10);
    layout->addWidget(intro);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    resize(420, 240);
}

void CMissedAlarmsDlg::Add(const AlarmClockList& alarms) {
    for (const AlarmClockPtr& a : alarms) {
        const QString line = QString::fromStdString(zorvel::AlarmTimeListText(*a)) +
                             QStringLiteral("    ") + zorvel::FromStoredText(a->content);
        if (list_->findItems(line, Qt::MatchExactly).isEmpty())
            list_->addItem(line);
    }
    if (!isVisible()) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    show();
    raise();
    activateWindow();
}
