#include "alarms/my_clock_dlg.h"
#include "calendar/holiday_schedule.h"
#include "cli/core/ical.h"
#include "widgets/message_box.h"
#include "widgets/storage_action.h"

#include <QSaveFile>

#include <QMessageBox>

#include <QFileDialog>

#include <QFile>

#include <QDir>

#include <QDateEdit>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "alarms/add_alarm_clock.h"
#include "alarms/alarm_board.h"
#include "alarms/core/alarm_operations.h"
#include "alarms/core/alarm_time.h"
#include "alarms/core/repeat_rule.h"
#include "alarms/edit_alarm_clock_dlg.h"
#include "settings/pwd_input_dlg.h"
#include "storage/clock_manager.h"
#include "widgets/stored_text.h"
#include "widgets/window_modal.h"
#include "widgets/zorvel_list_ctrl.h"

using namespace zorvel;

namespace {
enum Column { kNumber = 0, kId = 1, kTime = 2, kContent = 3, kRemark = 4 };

// Whether the alarm repeats as stored, a snooze of it or not.
bool Repeats(const AlarmClockRecord& alarm) {
    AlarmClockRecord stored = alarm;
    stored.atSnooze = false;
    return RuleOf(stored).Repeats();
}

const CListPage::Setup kSetup = {
    "alarmPage",
    "alarmList",
    QStringLiteral("我的闹钟"),
    "addAlarmButton",
    QStringLiteral("添加闹钟"),
    "deleteAlarmButton",
    /*passwordGuarded=*/true,
    kId,
};
}  // namespace

CMyClockDlg::CMyClockDlg(CAlarmBoard& alarms, CStore& store, CSettingsService& settings,
                         const Clock& clock, QWidget* parent)
    : CListPage(kSetup, store.Database(), PasswordPromptFor(settings), parent),
      alarms_(alarms),
      store_(store),
      clock_(clock) {
    resize(562, 334);
    SetUpColumns();
    // One line under the list when a rule follows a year whose schedule is not out yet.
    ruleNoteLabel_ = new QLabel;
    ruleNoteLabel_->setObjectName("ruleNoteLabel");
    ruleNoteLabel_->setStyleSheet("color: #8a5300;");
    ruleNoteLabel_->hide();
    static_cast<QVBoxLayout*>(layout())->insertWidget(1, ruleNoteLabel_);
    // Skip and pause: buttons for the keyboard, and the same in the list's context menu.
    skipButton_ = new QPushButton(QStringLiteral("跳过下一次"));
    skipButton_->setObjectName("skipNextButton");
    skipButton_->setAutoDefault(false);
    pauseButton_ = new QPushButton(QStringLiteral("暂停到…"));
    pauseButton_->setObjectName("pauseButton");
    pauseButton_->setAutoDefault(false);
    if (auto* buttons =
            qobject_cast<QHBoxLayout*>(static_cast<QVBoxLayout*>(layout())->itemAt(2)->layout())) {
        buttons->insertWidget(1, skipButton_);
        buttons->insertWidget(2, pauseButton_);
    }
    auto* importButton = new QPushButton(QStringLiteral("导入…"));
    importButton->setObjectName("importIcsButton");
    importButton->setAutoDefault(false);
    importButton->setToolTip(QStringLiteral("从 iCalendar 文件（.ics）导入闹钟、便笺和记事"));
    auto* exportButton = new QPushButton(QStringLiteral("导出…"));
    exportButton->setObjectName("exportIcsButton");
    exportButton->setAutoDefault(false);
    exportButton->setToolTip(QStringLiteral("把闹钟、便笺和记事导出为 iCalendar 文件（.ics）"));
    if (auto* buttons =
            qobject_cast<QHBoxLayout*>(static_cast<QVBoxLayout*>(layout())->itemAt(2)->layout())) {
        buttons->insertWidget(0, importButton);
        buttons->insertWidget(1, exportButton);
    }
    connect(importButton, &QPushButton::clicked, this, &CMyClockDlg::OnImport);
    connect(exportButton, &QPushButton::clicked, this, &CMyClockDlg::OnExport);
    connect(skipButton_, &QPushButton::clicked, this, &CMyClockDlg::OnSkipNext);
    connect(pauseButton_, &QPushButton::clicked, this, &CMyClockDlg::OnPause);
    listCtrl()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(listCtrl(), &QWidget::customContextMenuRequested, this, &CMyClockDlg::ShowContextMenu);
    // Next rings move on as the alarms ring.
    ruleTimer_.setInterval(60 * 1000);
    connect(&ruleTimer_, &QTimer::timeout, this, &CMyClockDlg::UpdateRuleTexts);
    ruleTimer_.start();
    // The rows follow every reload of the list, except the one after the page's own deletion.
    connect(&alarms_, &CAlarmBoard::AlarmListChanged, this, [this] {
        refillAsked_ = false;
        if (!TakeOwnDeletion())
            FillAlarmList();
    });
    connect(&alarms_, &CAlarmBoard::ReloadFailed, this, [this](const QString& error) {
        // Rows and list stay as they were, still in step.
        if (std::exchange(refillAsked_, false))
            ShowStorageError(this, error);
    });
    FillAlarmList();
}

CMyClockDlg::~CMyClockDlg() = default;

void CMyClockDlg::SetUpColumns() {
    CZorvelListCtrl* list = listCtrl();
    // Numbers and times must show in full; the alarm text gives up what they need beyond
    // their usual widths, so the columns still fit the page.
    int numberWidth = list->FitWidth(QStringLiteral("99"), 50, true);
    int timeWidth = list->FitWidth(QStringLiteral("2000-00-00 00:00:00"), 130);
    // The remark shows a repeating alarm's next ring in full (the rule is in the time column).
    int remarkWidth = list->FitWidth(QStringLiteral("下次：12月30日 周三 07:30"), 100);
    int contentWidth =
        std::max(110, 250 - (numberWidth - 50) - (timeWidth - 130) - (remarkWidth - 100));
    list->InsertColumn(kNumber, QStringLiteral("编号"), numberWidth);
    list->InsertColumn(kId, QStringLiteral("ID"), 100);
    list->InsertColumn(kTime, QStringLiteral("闹钟时间"), timeWidth);
    list->InsertColumn(kContent, QStringLiteral("闹钟事件"), contentWidth);
    list->InsertColumn(kRemark, QStringLiteral("备注(双击修改)"), remarkWidth);
    list->SetColumnVisible(kId, false);
}

void CMyClockDlg::Refill() {
    // The rows come from the engine's list; reloading it rebuilds them.
    refillAsked_ = true;
    alarms_.RequestReload();
}

QString CMyClockDlg::RemarkText(const AlarmClockRecord& alarm, std::time_t now) const {
    if (IsExpiredAlarm(alarm, now))
        return QStringLiteral("已过期");
    // An alarm with a rule tells when it rings next (a snooze shows its own time); a plain
    // every-day one does so only while skipped or paused, its next ring being plain enough.
    const RepeatRule rule = RuleOf(alarm);
    const bool plainDaily =
        rule.kind == RepeatKind::kDaily && alarm.skipDate.empty() && alarm.pauseUntil.empty();
    if (!alarm.atSnooze && rule.Repeats() && !plainDaily)
        return QString::fromStdString(NextRingText(alarm, now, false));
    return FromStoredText(alarm.ring);
}

void CMyClockDlg::FillAlarmList() {
    if (expiredImage.isNull()) {
        expiredImage = QIcon(QStringLiteral(":/alarms/expired.svg"));
        activeImage = QIcon(QStringLiteral(":/alarms/active.svg"));
    }
    // The current row stays current (a skip or pause just chosen on it refills the list).
    const int currentRow = listCtrl()->currentIndex().row();
    const QString currentId =
        currentRow >= 0 ? listCtrl()->GetItemText(currentRow, kId) : QString();
    listCtrl()->DeleteAllItems();
    const std::time_t now = clock_.NowTimeT();
    for (const AlarmClockPtr& alarm : alarms_.alarmList()) {
        const bool expired = IsExpiredAlarm(*alarm, now);
        AppendRow(expired ? expiredImage : activeImage, FromStoredText(alarm->id),
                  {QString::fromStdString(AlarmTimeListText(*alarm)),
                   FromStoredText(alarm->content), RemarkText(*alarm, now)});
        if (!currentId.isEmpty() && FromStoredText(alarm->id) == currentId)
            listCtrl()->setCurrentIndex(
                listCtrl()->model()->index(listCtrl()->GetItemCount() - 1, kTime));
    }
    UpdateRuleTexts();
}

void CMyClockDlg::UpdateRuleTexts() {
    const std::time_t now = clock_.NowTimeT();
    std::string note;
    for (int row = 0; row < listCtrl()->GetItemCount(); ++row) {
        const std::string id = ToStoredText(listCtrl()->GetItemText(row, kId));
        for (const AlarmClockPtr& alarm : alarms_.alarmList()) {
            if (alarm->id != id)
                continue;
            listCtrl()->SetItemText(row, kRemark, RemarkText(*alarm, now));
            if (note.empty())
                note = UnpublishedYearNote(*alarm, now);
            break;
        }
    }
    ruleNoteLabel_->setText(QString::fromStdString(note));
    ruleNoteLabel_->setVisible(!note.empty());
}

const AlarmClockRecord* CMyClockDlg::CurrentAlarm() const {
    const int row = listCtrl()->currentIndex().row();
    if (row < 0 || row >= listCtrl()->GetItemCount())
        return nullptr;
    const std::string id = ToStoredText(listCtrl()->GetItemText(row, kId));
    for (const AlarmClockPtr& alarm : alarms_.alarmList())
        if (alarm->id == id)
            return alarm.get();
    return nullptr;
}

void CMyClockDlg::ShowContextMenu(const QPoint& at) {
    const AlarmClockRecord* alarm = CurrentAlarm();
    if (!alarm)
        return;
    const std::time_t now = clock_.NowTimeT();
    const bool repeats = Repeats(*alarm);
    QMenu menu(this);
    menu.setObjectName("alarmContextMenu");
    QAction* skip = menu.addAction(SkippedDate(*alarm, now) ? QStringLiteral("取消跳过")
                                                            : QStringLiteral("跳过下一次"));
    skip->setObjectName("skipNextAction");
    skip->setEnabled(repeats);
    QAction* pause = menu.addAction(QStringLiteral("暂停到…"));
    pause->setObjectName("pauseAction");
    pause->setEnabled(repeats);
    menu.addSeparator();
    QAction* edit = menu.addAction(QStringLiteral("编辑"));
    connect(skip, &QAction::triggered, this, &CMyClockDlg::OnSkipNext);
    connect(pause, &QAction::triggered, this, &CMyClockDlg::OnPause);
    const QString id = FromStoredText(alarm->id);
    connect(edit, &QAction::triggered, this, [this, id] {
        if (PasswordAllows())
            EditItem(id);
    });
    menu.exec(listCtrl()->viewport()->mapToGlobal(at));
}

namespace {
// Asks for the date a pause lasts until; nothing when cancelled, an empty text to end a pause.
std::optional<std::string> AskPauseDate(QWidget* parent, const QDate& today, const QDate& shown,
                                        bool paused) {
    QDialog dlg(parent);
    dlg.setObjectName("pauseDialog");
    dlg.setWindowTitle(QStringLiteral("暂停到"));
    auto* label = new QLabel(QStringLiteral("这一天之前不响铃："));
    auto* date = new QDateEdit(shown);
    date->setObjectName("pauseDatePicker");
    date->setAccessibleName(QStringLiteral("暂停到"));
    date->setCalendarPopup(true);
    date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    date->setDateRange(today.addDays(1), QDate(9999, 12, 31));
    label->setBuddy(date);
    auto* ok = new QPushButton(QStringLiteral("确定"));
    ok->setObjectName("pauseOkButton");
    ok->setDefault(true);
    auto* resume = new QPushButton(QStringLiteral("取消暂停"));
    resume->setObjectName("resumeButton");
    resume->setVisible(paused);
    auto* cancel = new QPushButton(QStringLiteral("取消"));
    cancel->setObjectName("pauseCancelButton");
    bool resumed = false;
    QObject::connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dlg, &QDialog::reject);
    QObject::connect(resume, &QPushButton::clicked, &dlg, [&] {
        resumed = true;
        dlg.accept();
    });
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(date);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(resume);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(&dlg);
    layout->addLayout(row);
    layout->addLayout(buttons);
    if (zorvel::RunWindowModal(dlg) != QDialog::Accepted)
        return std::nullopt;
    if (resumed)
        return std::string();
    return date->date().toString(QStringLiteral("yyyy-MM-dd")).toStdString();
}
}  // namespace

void CMyClockDlg::OnSkipNext() {
    const AlarmClockRecord* alarm = CurrentAlarm();
    if (!alarm) {
        ShowMessage(this, QStringLiteral("请先选择一个闹钟"));
        return;
    }
    const std::string id = alarm->id;
    if (!PasswordAllows())
        return;
    SkipResult result = SkipResult::kGone;
    if (!RunStorageAction(
            this, [&] { result = ToggleSkipNext(store_.Manager(), id, clock_.NowTimeT()); }))
        return;
    if (result == SkipResult::kNotRepeating)
        ShowMessage(this, QStringLiteral("只有重复的闹钟可以跳过或暂停；一次性的闹钟请修改或删除"));
    else if (result == SkipResult::kGone)
        Refill();
}

void CMyClockDlg::OnPause() {
    const AlarmClockRecord* alarm = CurrentAlarm();
    if (!alarm) {
        ShowMessage(this, QStringLiteral("请先选择一个闹钟"));
        return;
    }
    if (!Repeats(*alarm)) {
        ShowMessage(this, QStringLiteral("只有重复的闹钟可以跳过或暂停；一次性的闹钟请修改或删除"));
        return;
    }
    const std::string id = alarm->id;
    const std::time_t now = clock_.NowTimeT();
    std::tm tm{};
    localtime_r(&now, &tm);
    const QDate today(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    QDate shown = today.addDays(7);
    bool paused = false;
    if (auto until = ReadDateText(alarm->pauseUntil)) {
        const QDate d(until->year, until->month, until->day);
        paused = d > today;
        if (paused)
            shown = d;
    }
    if (!PasswordAllows())
        return;
    auto date = AskPauseDate(EditorParent(), today, shown, paused);
    if (!date)
        return;
    bool done = false;
    if (!RunStorageAction(this, [&] { done = PauseAlarmUntil(store_.Manager(), id, *date); }))
        return;
    if (!done)
        Refill();
}

void CMyClockDlg::OnAdd() {
    CAddAlarmClock dlg(store_.Manager(), clock_, EditorParent());
    zorvel::RunWindowModal(dlg);
}

void CMyClockDlg::EditItem(const QString& id) {
    CEditAlarmClockDlg dlg(id, store_.Manager(), clock_, EditorParent());
    RunEditor(dlg);
}

bool CMyClockDlg::DeleteItem(const QString& id) {
    const std::string stored = ToStoredText(id);
    const bool removed = DeleteAlarmByUser(store_.Manager(), stored);
    // Out of the test at once, and no longer snoozed, even when storage no longer held it.
    alarms_.DeletedByUser(stored);
    return removed;
}

namespace {
QString Choose(QWidget* parent, const CMyClockDlg::FileChooser& chooser, bool save,
               const QString& suggested) {
    if (chooser)
        return chooser(save, suggested);
    const QString filter = QStringLiteral("iCalendar 文件 (*.ics);;所有文件 (*)");
    return save ? QFileDialog::getSaveFileName(parent, QStringLiteral("导出"), suggested, filter)
                : QFileDialog::getOpenFileName(parent, QStringLiteral("导入"), suggested, filter);
}
}  // namespace

void CMyClockDlg::OnExport() {
    const QString file = Choose(this, chooseFile_, true, QDir::home().filePath("zorvel.ics"));
    if (file.isEmpty())
        return;
    std::string text;
    if (!RunStorageAction(this, [&] {
            text = ExportIcal(store_.Manager(), *CurrentHolidaySchedule(), clock_.NowTimeT());
        }))
        return;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(text.data(), qint64(text.size())) < 0 ||
        !out.commit()) {
        ShowWarning(this, QStringLiteral("无法写入 %1：%2").arg(file, out.errorString()));
        return;
    }
    ShowMessage(this, QStringLiteral("已导出到 %1").arg(file));
}

void CMyClockDlg::OnImport() {
    const QString file = Choose(this, chooseFile_, false, QDir::homePath());
    if (file.isEmpty())
        return;
    QFile in(file);
    constexpr qint64 kMaxBytes = 16 * 1024 * 1024;
    if (!in.open(QIODevice::ReadOnly) || in.size() > kMaxBytes) {
        ShowWarning(this, in.isOpen() ? QStringLiteral("%1 太大（超过 16 MB）").arg(file)
                                      : QStringLiteral("无法读取 %1").arg(file));
        return;
    }
    const QByteArray bytes = in.readAll();
    auto import = std::make_shared<IcalImport>();
    std::string error;
    bool read = false;
    if (!RunStorageAction(this, [&] {
            read = ReadIcal(bytes.toStdString(), store_.Manager(), clock_.NowTimeT(), import.get(),
                            &error);
        }))
        return;
    if (!read) {
        ShowWarning(this, QStringLiteral("%1：%2").arg(file, QString::fromStdString(error)));
        return;
    }
    const qsizetype count =
        qsizetype(import->alarms.size() + import->notes.size() + import->memos.size());
    QString text = QStringLiteral("%1 中有 %2 个闹钟、%3 条便笺、%4 条记事可以导入")
                       .arg(file)
                       .arg(import->alarms.size())
                       .arg(import->notes.size())
                       .arg(import->memos.size());
    if (import->alreadyStored)
        text += QStringLiteral("（另有 %1 项已存在）").arg(import->alreadyStored);
    text += QStringLiteral("。");
    if (!import->refused.empty()) {
        text += QStringLiteral("\n以下项目无法导入：");
        for (const std::string& why : import->refused)
            text += QStringLiteral("\n") + QString::fromStdString(why);
    }
    if (count == 0) {
        ShowMessage(this, text);
        return;
    }
    // The list of what cannot come first, then the choice: nothing is added before it.
    auto* ask = new QMessageBox(QMessageBox::Question, QStringLiteral("Zorvel"),
                                text + QStringLiteral("\n现在导入吗？"),
                                QMessageBox::Yes | QMessageBox::No, this);
    ask->setObjectName("importQuestion");
    ask->setAttribute(Qt::WA_DeleteOnClose);
    ask->setWindowModality(Qt::WindowModal);
    connect(ask, &QMessageBox::finished, this, [this, import](int answer) {
        if (answer == QMessageBox::Yes)
            RunStorageAction(this, [&] { StoreIcalImport(store_.Manager(), *import); });
    });
    ask->open();
}
