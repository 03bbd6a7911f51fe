#include "app/autostart_question.h"

#include <QMessageBox>
#include <QPushButton>

#include "alarms/alarm_board.h"
#include "alarms/core/state_files.h"
#include "platform/autostart.h"
#include "platform/log_categories.h"

namespace {
constexpr const char* kKey = "askedAutostart";
}

CAutostartQuestion::CAutostartQuestion(CAlarmBoard& board, IAutostart* autostart,
                                       zorvel::IStateStore& state, bool installedCopy,
                                       QObject* parent)
    : QObject(parent),
      board_(board),
      autostart_(autostart),
      state_(state),
      // A copy in a build folder would put its own path into the user's login.
      done_(!installedCopy || !autostart_ || state_.Where().empty() ||
            state_.ReadChoice(kKey).has_value()) {
    if (!done_)
        connect(&board_, &CAlarmBoard::AlarmListChanged, this, &CAutostartQuestion::Consider);
}

CAutostartQuestion::~CAutostartQuestion() {
    delete box_.data();
}

void CAutostartQuestion::Consider() {
    if (done_ || board_.alarmList().empty())
        return;
    done_ = true;
    disconnect(&board_, nullptr, this, nullptr);
    if (autostart_->IsEnabled())
        return;  // already set on the settings page: nothing to ask
    box_ = new QMessageBox(QMessageBox::Question, QStringLiteral("Zorvel"),
                           QStringLiteral("开机时自动运行 Zorvel，以免错过闹钟？"));
    box_->setObjectName(QStringLiteral("autostartQuestion"));
    box_->setAttribute(Qt::WA_DeleteOnClose);
    box_->setWindowModality(Qt::NonModal);
    QPushButton* yes = box_->addButton(QStringLiteral("是"), QMessageBox::YesRole);
    yes->setObjectName(QStringLiteral("yesButton"));
    QPushButton* no = box_->addButton(QStringLiteral("否"), QMessageBox::NoRole);
    no->setObjectName(QStringLiteral("noButton"));
    box_->setDefaultButton(yes);
    box_->setEscapeButton(no);
    connect(box_, &QMessageBox::buttonClicked, this, [this, yes](QAbstractButton* button) {
        const bool enable = button == yes;
        if (enable && !autostart_->Enable())
            qCWarning(lcPlatform, "cannot set the program to start at login");
        state_.WriteChoice(kKey, enable ? "yes" : "no");
    });
    box_->show();
}
