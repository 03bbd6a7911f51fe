#include "settings/soft_setting_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>
#include <ctime>

#include "alarms/alarm_board.h"
#include "platform/autostart.h"
#include "settings/holiday_update.h"
#include "settings/pwd_input_dlg.h"
#include "settings/pwd_setting_dlg.h"
#include "settings/settings_service.h"
#include "storage/backup.h"
#include "widgets/message_box.h"
#include "widgets/storage_action.h"
#include "widgets/window_modal.h"

using namespace zorvel;

namespace {

QCheckBox* MakeCheckBox(const char* text, const char* name) {
    auto* box = new QCheckBox(QString::fromUtf8(text));
    box->setObjectName(name);
    return box;
}

// A button that looks like a link, so the keyboard and screen readers reach it as a button.
QPushButton* MakeLink(const char* name, const QString& description) {
    auto* link = new QPushButton(QStringLiteral("测试语音报时"));
    link->setObjectName(name);
    link->setAccessibleDescription(description);
    link->setFlat(true);
    // Enter in the main window hides it; no page button takes it.
    link->setAutoDefault(false);
    link->setCursor(Qt::PointingHandCursor);
    link->setStyleSheet(
        QStringLiteral("QPushButton { color: #1a5fb4; text-decoration: underline; border: none;"
                       " padding: 0 4px; }"
                       "QPushButton:hover { color: #3584e4; }"));
    return link;
}

void SetChecked(QCheckBox* box, bool checked) {
    QSignalBlocker block(box);
    box->setChecked(checked);
}

// The choice a list showed before the user's last one.
constexpr char kShown[] = "shownIndex";

void SetIndex(QComboBox* list, int index) {
    QSignalBlocker block(list);
    list->setCurrentIndex(index);
    list->setProperty(kShown, index);
}

}  // namespace

template <typename Setter>
bool CSoftSettingDlg::Store(Setter&& setter) {
    return RunStorageAction(this, [&] { setter(settings_); });
}

CSoftSettingDlg::CSoftSettingDlg(Parts parts, QWidget* parent)
    : QWidget(parent), parts_(std::move(parts)), settings_(*parts_.settings) {
    autoRun_ = MakeCheckBox("开机自动运行软件", "autoRunCheck");
    auto* autoRunHint = new QLabel(QStringLiteral("（勾选后，每次登录桌面时自动启动本软件）"));
    autoRunHint->setObjectName("autoRunHint");
    autoRunHint->setStyleSheet(QStringLiteral("color: palette(mid);"));
    zdbs_ = MakeCheckBox("语音整点报时", "zdbsCheck");
    bdbs_ = MakeCheckBox("语音半点报时", "bdbsCheck");
    QPushButton* zdbsTest = MakeLink("zdbsTestLink", QStringLiteral("整点报时"));
    QPushButton* bdbsTest = MakeLink("bdbsTestLink", QStringLiteral("半点报时"));
    autoDel_ = MakeCheckBox("闹钟事件过期后自动删除", "autoDelCheck");
    pwdReq_ = MakeCheckBox("需要密码才能修改或者删除闹钟和记事", "pwdReqCheck");
    restRemind_ = MakeCheckBox("休息提醒", "restRemindCheck");

    // Fixed entries: a typed value could never be stored as what it says.
    restInterval_ = new QComboBox;
    restInterval_->setObjectName("restIntervalList");
    restInterval_->setAccessibleName(QStringLiteral("休息提醒间隔小时数"));
    for (int hours = 1; hours <= 5; ++hours)
        restInterval_->addItem(QString::number(hours));
    SetIndex(restInterval_, 0);
    ringPlayType_ = new QComboBox;
    ringPlayType_->setObjectName("ringPlayTypeList");
    ringPlayType_->setAccessibleName(QStringLiteral("响铃音乐设置"));
    ringPlayType_->addItems({QStringLiteral("响铃音乐播放1遍"), QStringLiteral("响铃音乐播放2遍"),
                             QStringLiteral("一直播放")});
    SetIndex(ringPlayType_, 0);

    // The start-up window choice stays hidden: nothing on this page offers it.
    startupClock_ = new QRadioButton(QStringLiteral("启动显示小闹钟"));
    startupClock_->setObjectName("startupClockRadio");
    startupClock_->setToolTip(QStringLiteral("<b>小闹钟</b><br>显示小闹钟"));
    startupMain_ = new QRadioButton(QStringLiteral("启动直接显示功能界面"));
    startupMain_->setObjectName("startupMainRadio");
    startupMain_->setToolTip(QStringLiteral("<b>主功能界面</b><br>显示主功能界面"));
    auto* startupLabel = new QLabel(QStringLiteral("启动界面设置"));
    for (QWidget* w : std::initializer_list<QWidget*>{startupLabel, startupClock_, startupMain_})
        w->setVisible(false);
    // Not exclusive, so a stored value other than 0 or 1 can leave both unchecked.
    startupClock_->setAutoExclusive(false);
    startupMain_->setAutoExclusive(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 14);
    layout->setSpacing(10);
    layout->addWidget(autoRun_);
    auto* hintRow = new QHBoxLayout;
    hintRow->addSpacing(22);
    hintRow->addWidget(autoRunHint);
    hintRow->addStretch();
    layout->addLayout(hintRow);
    auto addRow = [layout](std::initializer_list<QWidget*> widgets) {
        auto* row = new QHBoxLayout;
        row->setSpacing(6);
        for (QWidget* w : widgets)
            row->addWidget(w);
        row->addStretch();
        layout->addLayout(row);
    };
    addRow({zdbs_, zdbsTest});
    addRow({bdbs_, bdbsTest});
    layout->addWidget(autoDel_);
    layout->addWidget(pwdReq_);
    addRow({restRemind_, new QLabel(QStringLiteral("每间隔")), restInterval_,
            new QLabel(QStringLiteral("小时提醒"))});
    auto* ringIcon = new QLabel;
    ringIcon->setPixmap(style()->standardIcon(QStyle::SP_MediaVolume).pixmap(20, 20));
    auto* ringLabel = new QLabel(QStringLiteral("响铃音乐设置"));
    ringLabel->setBuddy(ringPlayType_);
    addRow({ringIcon, ringLabel, ringPlayType_});
    addRow({startupLabel, startupClock_, startupMain_});
    updateHolidays_ = new QPushButton(QStringLiteral("更新节假日安排"));
    updateHolidays_->setObjectName("updateHolidaysButton");
    updateHolidays_->setAutoDefault(false);
    updateHolidays_->setToolTip(QStringLiteral("从网上取得今年和明年的放假安排"));
    backup_ = new QPushButton(QStringLiteral("备份数据…"));
    backup_->setObjectName("backupButton");
    backup_->setAutoDefault(false);
    backup_->setToolTip(QStringLiteral("把闹钟、便笺、记事、日志和设置复制到一个文件"));
    restore_ = new QPushButton(QStringLiteral("恢复数据…"));
    restore_->setObjectName("restoreButton");
    restore_->setAutoDefault(false);
    restore_->setToolTip(QStringLiteral("用备份文件替换现有的全部数据"));
    addRow({updateHolidays_, backup_, restore_});
    if (parts_.alarms)
        AddWakeSetting(layout);
    layout->addStretch();

    ReadSettings();

    // The state change, not the click: the keyboard and a screen reader's toggle change a box
    // without one. The page's own setting of a box blocks its signals.
    StoreOnToggle(zdbs_, &CSettingsService::SetZDBS);
    StoreOnToggle(bdbs_, &CSettingsService::SetBDBS);
    StoreOnToggle(autoDel_, &CSettingsService::SetAutoDelAlarmClock);
    // The minutes already counted stay: switching back on does not start again from 0.
    StoreOnToggle(restRemind_, &CSettingsService::SetRestRemind);
    // A list whose choice cannot be stored goes back to the choice it showed before.
    connect(restInterval_, &QComboBox::activated, this, [this](int index) {
        const int hours = index + 1;
        if (!Store([hours](CSettingsService& s) { s.SetRestRemindInterval(hours); }))
            SetIndex(restInterval_, restInterval_->property(kShown).toInt());
        restInterval_->setProperty(kShown, restInterval_->currentIndex());
    });
    connect(ringPlayType_, &QComboBox::activated, this, [this](int index) {
        if (!Store([index](CSettingsService& s) { s.SetRingPlayType(index); }))
            SetIndex(ringPlayType_, ringPlayType_->property(kShown).toInt());
        ringPlayType_->setProperty(kShown, ringPlayType_->currentIndex());
    });
    connect(zdbsTest, &QPushButton::clicked, this, [this] { parts_.speakNow(); });
    connect(bdbsTest, &QPushButton::clicked, this, [this] { parts_.speakNow(); });
    connect(autoRun_, &QCheckBox::toggled, this, &CSoftSettingDlg::OnAutoRunToggled);
    connect(pwdReq_, &QCheckBox::toggled, this, &CSoftSettingDlg::OnPwdReqToggled);
    connect(startupClock_, &QRadioButton::clicked, this, [this] { OnStartupWindow(0); });
    connect(startupMain_, &QRadioButton::clicked, this, [this] { OnStartupWindow(1); });
    connect(updateHolidays_, &QPushButton::clicked, this, &CSoftSettingDlg::OnUpdateHolidays);
    connect(backup_, &QPushButton::clicked, this, &CSoftSettingDlg::OnBackup);
    connect(restore_, &QPushButton::clicked, this, &CSoftSettingDlg::OnRestore);
}

// Waking the computer for alarms: kept in the state folder by the alarm engine, greyed with its
// reason where neither way of waking works.
void CSoftSettingDlg::AddWakeSetting(QVBoxLayout* layout) {
    auto* wake = MakeCheckBox("休眠时到点唤醒电脑", "wakeFromSleepCheck");
    auto* reason = new QLabel(QStringLiteral("需要 systemd 254 或 zorvel-wake 的唤醒权限"));
    reason->setObjectName("wakeReason");
    reason->setEnabled(false);
    reason->setContentsMargins(22, 0, 0, 0);  // under the box's text
    layout->addWidget(wake);
    layout->addWidget(reason);
    CAlarmBoard& board = *parts_.alarms;
    auto show = [wake, reason, &board] {
        const bool none =
            board.wakeAvailability() == static_cast<int>(zorvel::CWakeChooser::Availability::kNone);
        wake->setEnabled(!none);
        SetChecked(wake, !none && board.wakeEnabled());
        reason->setVisible(none);
    };
    connect(&board, &CAlarmBoard::WakeStateChanged, this, show);
    connect(wake, &QCheckBox::clicked, &board, &CAlarmBoard::SetWakeEnabled);
    show();
}

void CSoftSettingDlg::StoreOnToggle(QCheckBox* box, void (CSettingsService::*setter)(bool)) {
    connect(box, &QCheckBox::toggled, this, [this, box, setter](bool on) {
        if (!Store([&](CSettingsService& s) { (s.*setter)(on); }))
            SetChecked(box, !on);
    });
}

void CSoftSettingDlg::ReadSettings() {
    const SoftSetting& s = settings_.value();
    SetChecked(bdbs_, s.BDBS);
    SetChecked(autoDel_, s.isAutoDelAlarmClock);
    SetChecked(pwdReq_, s.isPwdReq);
    SetChecked(zdbs_, s.ZDBS);
    if (s.ringPlayType >= 0 && s.ringPlayType < ringPlayType_->count())
        SetIndex(ringPlayType_, s.ringPlayType);
    startupClock_->setChecked(s.startupWindow == 0);
    startupMain_->setChecked(s.startupWindow == 1);
    SetChecked(restRemind_, s.isRestRemind);
    if (s.restRemindInterval >= 1 && s.restRemindInterval <= restInterval_->count())
        SetIndex(restInterval_, s.restRemindInterval - 1);

    // The box shows whether the program really starts at login; the stored flag follows.
    autoRun_->setEnabled(parts_.autostart != nullptr);
    const bool autoRun = parts_.autostart ? parts_.autostart->IsEnabled() : s.isAutoRun;
    SetChecked(autoRun_, autoRun);
    if (autoRun != s.isAutoRun && settings_.IsLoaded())
        Store([autoRun](CSettingsService& set) { set.SetAutoRun(autoRun); });
}

void CSoftSettingDlg::OnAutoRunToggled(bool checked) {
    const bool done =
        parts_.autostart && (checked ? parts_.autostart->Enable() : parts_.autostart->Disable());
    if (!done) {
        SetChecked(autoRun_, !checked);
        ShowWarning(this, QStringLiteral("设置开机启动失败！"));
        return;
    }
    // The entry has changed; storing the flag may fail without making the box untrue.
    Store([checked](CSettingsService& s) { s.SetAutoRun(checked); });
}

void CSoftSettingDlg::OnPwdReqToggled(bool checked) {
    bool stored = false;
    if (checked) {
        CPwdSettingDlg dlg(settings_, this);
        stored = zorvel::RunWindowModal(dlg) == QDialog::Accepted &&
                 Store([](CSettingsService& s) { s.SetPwdReq(true); });
    } else {
        CPwdInputDlg dlg(settings_, this);
        stored = zorvel::RunWindowModal(dlg) == CPwdInputDlg::kPasswordAccepted &&
                 Store([](CSettingsService& s) { s.SetPwdReq(false); });
    }
    // Put back without a signal: a cancelled dialog must not open the other one.
    SetChecked(pwdReq_, stored ? checked : !checked);
}

void CSoftSettingDlg::OnStartupWindow(int value) {
    Store([value](CSettingsService& s) { s.SetStartupWindow(value); });
    startupClock_->setChecked(value == 0);
    startupMain_->setChecked(value == 1);
}

void CSoftSettingDlg::OnUpdateHolidays() {
    if (!holidayUpdate_) {
        holidayUpdate_ = new CHolidayUpdate(parts_.holidayFolder, this);
        connect(holidayUpdate_, &CHolidayUpdate::Finished, this,
                [this](const QString& report, bool updated) {
                    updateHolidays_->setEnabled(true);
                    if (updated)
                        ShowMessage(this, report);
                    else
                        ShowWarning(this, report);
                });
    }
    const std::time_t now = parts_.clock ? parts_.clock->NowTimeT() : std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int year = local.tm_year + 1900;
    updateHolidays_->setEnabled(false);
    holidayUpdate_->Start({year, year + 1});
}

QString CSoftSettingDlg::ChooseFile(bool save, const QString& suggested) {
    if (parts_.chooseFile)
        return parts_.chooseFile(save, suggested);
    const QString filter = QStringLiteral("Zorvel 数据 (*.db3);;所有文件 (*)");
    return save ? QFileDialog::getSaveFileName(this, QStringLiteral("备份数据"), suggested, filter)
                : QFileDialog::getOpenFileName(this, QStringLiteral("恢复数据"), suggested, filter);
}

void CSoftSettingDlg::OnBackup() {
    const std::time_t now = parts_.clock ? parts_.clock->NowTimeT() : std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::string name =
        zorvel::DefaultBackupName({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday});
    const QString file = ChooseFile(true, QDir::home().filePath(QString::fromStdString(name)));
    if (file.isEmpty())
        return;
    try {
        zorvel::BackupDatabase(parts_.databasePath, file.toStdString());
        ShowMessage(this, QStringLiteral("已备份到 %1").arg(file));
    } catch (const std::exception& e) {
        ShowWarning(this, QString::fromStdString(e.what()));
    }
}

void CSoftSettingDlg::OnRestore() {
    const QString file = ChooseFile(false, QDir::homePath());
    if (file.isEmpty())
        return;
    // Checked before the question, so a file that cannot be used is named at once.
    if (const std::string refusal = zorvel::RestoreRefusal(file.toStdString()); !refusal.empty()) {
        ShowWarning(this,
                    QStringLiteral("无法恢复数据：\n%1").arg(QString::fromStdString(refusal)));
        return;
    }
    auto* ask = new QMessageBox(
        QMessageBox::Question, QStringLiteral("Zorvel"),
        QStringLiteral(
            "用 %1 替换现有的全部闹钟、便笺、记事、日志和设置吗？\n现有的数据会保存为 %2。")
            .arg(file, QString::fromStdString(parts_.databasePath + ".before-restore")),
        QMessageBox::Yes | QMessageBox::No, this);
    ask->setObjectName("restoreQuestion");
    ask->setDefaultButton(QMessageBox::No);
    ask->setAttribute(Qt::WA_DeleteOnClose);
    ask->setWindowModality(Qt::WindowModal);
    // Answered later, so a ringing alarm is never held up by the question.
    connect(ask, &QMessageBox::finished, this, [this, file](int answer) {
        if (answer != QMessageBox::Yes)
            return;
        try {
            zorvel::RestoreDatabase(parts_.databasePath, file.toStdString());
        } catch (const std::exception& e) {
            ShowWarning(this, QString::fromStdString(e.what()));
            return;
        }
        if (parts_.reloadAll)
            parts_.reloadAll();
        ShowMessage(this, QStringLiteral("已从 %1 恢复数据。").arg(file));
    });
    ask->open();
}
