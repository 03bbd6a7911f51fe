#include "alarms/alarm_editor_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <ctime>
#include <tuple>

#include "alarms/core/alarm_editor_logic.h"
#include "alarms/core/alarm_time.h"
#include "alarms/core/ring_plan.h"
#include "platform/core/clock.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "widgets/discard_changes.h"
#include "widgets/storage_action.h"
#include "widgets/window_modal.h"

using namespace zorvel;

namespace {

QComboBox* NumberCombo(const char* name, const QString& accessibleName, int max) {
    auto* combo = new QComboBox;
    combo->setObjectName(name);
    combo->setAccessibleName(accessibleName);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(12);
    combo->setMinimumContentsLength(2);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setValidator(new QIntValidator(0, max, combo));
    // A typed number becomes the matching entry, shown with its two digits.
    QObject::connect(combo->lineEdit(), &QLineEdit::editingFinished, combo, [combo, max] {
        bool ok = false;
        int n = combo->currentText().trimmed().toInt(&ok);
        if (ok && n >= 0 && n <= max)
            combo->setCurrentIndex(n);
        else
            combo->setCurrentIndex(std::max(0, combo->currentIndex()));
    });
    return combo;
}

// The number a field holds: what is typed when it is in range, else the selected entry.
int ComboNumber(const QComboBox* combo, int max) {
    bool ok = false;
    int n = combo->currentText().trimmed().toInt(&ok);
    if (ok && n >= 0 && n <= max)
        return n;
    return std::max(0, combo->currentIndex());
}

QString ChooseWithFileDialog(QWidget* parent, const QString& filter, const QString& startDir) {
    QFileDialog dlg(parent, QStringLiteral("打开"), startDir, filter);
    dlg.setObjectName("chooseFileDialog");
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    if (RunWindowModal(dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().first();
}

QGroupBox* Group(const QString& title, const char* name, QLayout* contents) {
    auto* group = new QGroupBox(title);
    group->setObjectName(name);
    group->setLayout(contents);
    contents->setContentsMargins(12, 10, 12, 12);
    contents->setSpacing(8);
    return group;
}

}  // namespace

CAlarmEditorDlg::CAlarmEditorDlg(const QString& title, const char* objectName,
                                 CClockManager& manager, const Clock& clock, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      manager_(manager),
      clock_(clock) {
    // Modal to the window it belongs to only: a ring window that opens meanwhile still takes
    // its snooze and close.
    setWindowModality(Qt::WindowModal);
    setObjectName(objectName);
    setWindowTitle(title);

    // The time.
    repeatCombo_ = new QComboBox;
    repeatCombo_->setObjectName("repeatCombo");
    repeatCombo_->setAccessibleName(QStringLiteral("重复"));
    for (RepeatKind kind :
         {RepeatKind::kOnce, RepeatKind::kDaily, RepeatKind::kWorkdays, RepeatKind::kHolidays}) {
        repeatCombo_->addItem(QString::fromStdString(RepeatRuleName(RepeatRule{kind})));
    }
    repeatCombo_->addItem(QStringLiteral("每周"));
    datePicker_ = new QDateEdit;
    datePicker_->setObjectName("datePicker");
    datePicker_->setAccessibleName(QStringLiteral("日期"));
    datePicker_->setCalendarPopup(true);
    datePicker_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    datePicker_->setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));
    datePicker_->setMinimumWidth(
        datePicker_->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) + 44);
    hourCombo_ = NumberCombo("hourCombo", QStringLiteral("时"), 23);
    minuteCombo_ = NumberCombo("minuteCombo", QStringLiteral("分"), 59);
    static const char* const kDayNames[] = {"周一", "周二", "周三", "周四", "周五", "周六", "周日"};
    weekdayRow_ = new QWidget;
    weekdayRow_->setObjectName("weekdayRow");
    auto* dayRow = new QHBoxLayout(weekdayRow_);
    dayRow->setContentsMargins(0, 0, 0, 0);
    dayRow->setSpacing(6);
    for (int day = 0; day < 7; ++day) {
        weekdayChecks_[day] = new QCheckBox(QString::fromUtf8(kDayNames[day]));
        weekdayChecks_[day]->setObjectName(QStringLiteral("weekdayCheck%1").arg(day + 1));
        dayRow->addWidget(weekdayChecks_[day]);
        connect(weekdayChecks_[day], &QCheckBox::toggled, this, &CAlarmEditorDlg::UpdateRuleNote);
    }
    workweekButton_ = new QPushButton(QStringLiteral("周一至周五"));
    workweekButton_->setObjectName("workweekButton");
    dayRow->addWidget(workweekButton_);
    dayRow->addStretch();
    ruleNoteLabel_ = new QLabel;
    ruleNoteLabel_->setObjectName("ruleNoteLabel");
    ruleNoteLabel_->setStyleSheet("color: #8a5300;");
    ruleNoteLabel_->hide();
    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(repeatCombo_);
    timeRow->addSpacing(10);
    timeRow->addWidget(datePicker_);
    timeRow->addSpacing(14);
    timeRow->addWidget(hourCombo_);
    timeRow->addWidget(new QLabel(QStringLiteral("时")));
    timeRow->addSpacing(6);
    timeRow->addWidget(minuteCombo_);
    timeRow->addWidget(new QLabel(QStringLiteral("分")));
    timeRow->addStretch();

    // The ring.
    ringCheck_ = new QCheckBox(QStringLiteral("响铃效果"));
    ringCheck_->setObjectName("ringCheck");
    ringCombo_ = new QComboBox;
    ringCombo_->setObjectName("ringCombo");
    ringCombo_->setAccessibleName(QStringLiteral("响铃"));
    ringCombo_->setEditable(true);
    ringCombo_->setInsertPolicy(QComboBox::NoInsert);
    ringCombo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ringCombo_->setMinimumContentsLength(12);
    chooseFileButton_ = new QPushButton(QStringLiteral("自定义歌曲"));
    chooseFileButton_->setObjectName("chooseFileButton");
    auto* ringRow = new QHBoxLayout;
    ringRow->addWidget(ringCheck_);
    ringRow->addSpacing(10);
    ringRow->addWidget(ringCombo_, 1);
    ringRow->addWidget(chooseFileButton_);

    // The text.
    contentLabel_ = new QLabel(QStringLiteral("填写内容"));
    contentLabel_->setObjectName("contentLabel");
    contentEdit_ = new QLineEdit;
    contentEdit_->setObjectName("contentEdit");
    contentEdit_->setAccessibleName(QStringLiteral("填写内容"));
    contentLabel_->setBuddy(contentEdit_);
    quickButton_ = new QToolButton;
    quickButton_->setObjectName("quickButton");
    quickButton_->setAccessibleName(QStringLiteral("常用内容"));
    quickButton_->setToolTip(QStringLiteral("常用内容"));
    quickButton_->setIcon(QIcon(QStringLiteral(":/alarms/pencil.svg")));
    quickButton_->setIconSize(QSize(16, 16));
    quickButton_->setAutoRaise(false);
    quickMenu_ = new QMenu(this);
    quickMenu_->setObjectName("quickMenu");
    auto* textRow = new QHBoxLayout;
    textRow->addWidget(contentLabel_);
    textRow->addWidget(contentEdit_, 1);
    textRow->addWidget(quickButton_);

    okButton_ = new QPushButton(QStringLiteral("确定"));
    okButton_->setObjectName("okButton");
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("取消"));
    cancelButton_->setObjectName("cancelButton");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(10);
    auto* timeRows = new QVBoxLayout;
    timeRows->addLayout(timeRow);
    timeRows->addWidget(weekdayRow_);
    timeRows->addWidget(ruleNoteLabel_);
    layout->addWidget(Group(QStringLiteral("响铃时间"), "timeGroup", timeRows));
    layout->addWidget(Group(QStringLiteral("响铃设置"), "ringGroup", ringRow));
    layout->addWidget(Group(QStringLiteral("提醒事件"), "textGroup", textRow));
    layout->addStretch();
    layout->addLayout(buttons);
    resize(474, 283);
    contentEdit_->setFocus();

    connect(repeatCombo_, &QComboBox::currentIndexChanged, this, &CAlarmEditorDlg::OnRepeatChanged);
    connect(workweekButton_, &QPushButton::clicked, this, &CAlarmEditorDlg::OnWorkweekPreset);
    connect(hourCombo_, &QComboBox::currentIndexChanged, this, &CAlarmEditorDlg::UpdateRuleNote);
    connect(minuteCombo_, &QComboBox::currentIndexChanged, this, &CAlarmEditorDlg::UpdateRuleNote);
    connect(ringCheck_, &QCheckBox::clicked, this, &CAlarmEditorDlg::OnRingEffect);
    connect(ringCombo_, &QComboBox::activated, this, &CAlarmEditorDlg::OnRingSelChange);
    connect(chooseFileButton_, &QPushButton::clicked, this, &CAlarmEditorDlg::OnChooseFile);
    connect(quickButton_, &QToolButton::clicked, this, &CAlarmEditorDlg::OnQuickText);
    connect(quickMenu_, &QMenu::triggered, this,
            [this](QAction* action) { contentEdit_->setText(action->data().toString()); });
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void CAlarmEditorDlg::InitControls() {
    std::time_t now = clock_.NowTimeT();
    std::tm tm{};
    localtime_r(&now, &tm);

    hourCombo_->clear();
    minuteCombo_->clear();
    for (int h = 0; h <= 23; ++h)
        hourCombo_->addItem(QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0')));
    for (int m = 0; m <= 59; ++m)
        minuteCombo_->addItem(QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0')));
    HourMinute offered = DefaultAlarmTime(tm.tm_hour, tm.tm_min);
    hourCombo_->setCurrentIndex(offered.hour);
    minuteCombo_->setCurrentIndex(offered.minute);
    datePicker_->setDate(QDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday));

    ShowRule(RepeatRule{});
    ringCheck_->setChecked(true);
    ringCombo_->clear();
    for (const std::u16string& entry : kRingListEntries)
        ringCombo_->addItem(QString::fromStdU16String(entry));
    ringCombo_->setCurrentIndex(0);
    ringTypeSel_ = kRingSystemSong1;
    ShowProgramLabels(false);
    OnRepeatChanged();
    OnRingEffect();
}

void CAlarmEditorDlg::OnRepeatChanged() {
    const int kind = repeatCombo_->currentIndex();
    datePicker_->setEnabled(kind == static_cast<int>(RepeatKind::kOnce));
    weekdayRow_->setVisible(kind == static_cast<int>(RepeatKind::kWeekly));
    UpdateRuleNote();
}

void CAlarmEditorDlg::OnWorkweekPreset() {
    for (int day = 0; day < 7; ++day)
        weekdayChecks_[day]->setChecked(day < 5);
}

void CAlarmEditorDlg::ShowRule(const RepeatRule& rule) {
    repeatCombo_->setCurrentIndex(static_cast<int>(rule.kind));
    for (int day = 0; day < 7; ++day)
        weekdayChecks_[day]->setChecked((rule.weekdays & (1u << day)) != 0);
    OnRepeatChanged();
}

RepeatRule CAlarmEditorDlg::ChosenRule() const {
    RepeatRule rule{static_cast<RepeatKind>(std::max(0, repeatCombo_->currentIndex()))};
    if (rule.kind == RepeatKind::kWeekly) {
        for (int day = 0; day < 7; ++day)
            if (weekdayChecks_[day]->isChecked())
                rule.weekdays |= 1u << day;
    }
    return rule;
}

void CAlarmEditorDlg::UpdateRuleNote() {
    const Values v = CollectValues(Adding());
    AlarmClockRecord alarm;
    alarm.alarmTime = ToStored(v.alarmTime);
    alarm.isEveryday = v.isEveryday;
    alarm.rule = v.rule;
    const std::string note = UnpublishedYearNote(alarm, clock_.NowTimeT());
    ruleNoteLabel_->setText(QString::fromStdString(note));
    ruleNoteLabel_->setVisible(!note.empty());
}

void CAlarmEditorDlg::OnRingEffect() {
    bool on = ringCheck_->isChecked();
    ringCombo_->setEnabled(on);
    chooseFileButton_->setEnabled(on);
}

void CAlarmEditorDlg::OnRingSelChange(int position) {
    if (position < 0)
        return;
    ringTypeSel_ = position;
    ShowProgramLabels(position == kRingRunProgram);
}

void CAlarmEditorDlg::ShowProgramLabels(bool program) {
    chooseFileButton_->setText(program ? QStringLiteral("选择程序路径")
                                       : QStringLiteral("自定义歌曲"));
    contentLabel_->setText(program ? QStringLiteral("程序路径") : QStringLiteral("填写内容"));
    contentEdit_->setAccessibleName(contentLabel_->text());
}

void CAlarmEditorDlg::OnChooseFile() {
    bool program = ringTypeSel_ == kRingRunProgram;
    QString filter = program ? QStringLiteral("所有文件 (*)") : QStringLiteral("mp3文件 (*.mp3)");
    // Start where the current choice lies, else in the home folder.
    QString current = program ? contentEdit_->text().trimmed() : ringCombo_->currentText();
    QFileInfo currentFile(current);
    QString startDir = QDir::isAbsolutePath(current) && currentFile.exists()
                           ? currentFile.absolutePath()
                           : QDir::homePath();
    QString path = ChooseWithFileDialog(this, filter, startDir);
    if (path.isEmpty())
        return;
    if (program) {
        contentEdit_->setText(path);
    } else {
        ringCombo_->setCurrentIndex(-1);
        ringCombo_->setEditText(path);
        ringTypeSel_ = kRingCustomSong;
    }
}

bool CAlarmEditorDlg::BuildQuickMenu() {
    AlarmClockList alarms;
    if (!RunStorageAction(this, [&] { manager_.GetAllAlarmClocks(alarms); }))
        return false;
    quickMenu_->clear();
    QFontMetrics metrics(quickMenu_->font());
    for (const std::u16string& text : QuickTexts(alarms)) {
        QString full = QString::fromStdU16String(text);
        // A long text is shortened in the menu only; choosing it copies all of it.
        QString shown = metrics.elidedText(full, Qt::ElideRight, 360);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = quickMenu_->addAction(shown);
        action->setData(full);
    }
    return true;
}

void CAlarmEditorDlg::OnQuickText() {
    if (!BuildQuickMenu())
        return;
    quickMenu_->popup(quickButton_->mapToGlobal(QPoint(0, quickButton_->height())));
}

std::u16string CAlarmEditorDlg::BuildAlarmTime() const {
    QDate date = datePicker_->date();
    return zorvel::BuildAlarmTime(date.year(), date.month(), date.day(),
                                  ComboNumber(hourCombo_, 23), ComboNumber(minuteCombo_, 59));
}

CAlarmEditorDlg::Values CAlarmEditorDlg::CollectValues(bool adding) const {
    Values v;
    v.alarmTime = BuildAlarmTime();
    const RepeatRule rule = ChosenRule();
    v.isEveryday = rule.Repeats();
    // A weekly rule without a day is no rule: OnOK refuses it before it is stored.
    v.rule =
        rule.kind == RepeatKind::kWeekly && rule.weekdays == 0 ? "weekly:" : RepeatRuleText(rule);
    v.isRing = ringCheck_->isChecked();
    v.content = contentEdit_->text().toStdU16String();
    v.ringType = ringTypeSel_;
    QString shown = ringCombo_->currentText();
    if (adding && !v.isRing)
        v.ring.clear();
    else if (!adding || ringTypeSel_ == kRingCustomSong || ringCombo_->currentIndex() < 0)
        v.ring = shown.toStdU16String();
    else
        v.ring = ringCombo_->itemText(ringCombo_->currentIndex()).toStdU16String();
    return v;
}

void CAlarmEditorDlg::OnOK() {
    const Values v = CollectValues(Adding());
    if (!ParseRepeatRule(v.rule)) {
        ShowWarning(this, QStringLiteral("每周重复的闹钟请至少勾选一天"));
        weekdayChecks_[0]->setFocus();
        return;
    }
    if (!CheckContentLength(v))
        return;
    SaveResult result = SaveResult::kRefused;
    if (!RunStorageAction(this, [&] { result = Store(v); }))
        return;
    if (result == SaveResult::kRefused) {
        // Nothing else makes the record service refuse an alarm with a time.
        ShowWarning(this, QStringLiteral("输入的内容过长"));
        return;
    }
    QDialog::accept();
}

void CAlarmEditorDlg::MarkUnchanged() {
    openedWith_ = CollectValues(Adding());
}

bool CAlarmEditorDlg::HasChanges() const {
    const Values now = CollectValues(Adding());
    const auto fields = [](const Values& v) {
        return std::tie(v.alarmTime, v.isEveryday, v.isRing, v.content, v.ring, v.ringType, v.rule);
    };
    return fields(now) != fields(openedWith_);
}

void CAlarmEditorDlg::reject() {
    if (asking_)
        return;
    if (HasChanges()) {
        asking_ = true;
        const bool discard = ConfirmDiscardChanges(this);
        asking_ = false;
        if (!discard)
            return;
    }
    QDialog::reject();
}

bool CAlarmEditorDlg::CheckContentLength(const Values& values) {
    if (values.content.size() <= CClockManager::kMaxContentUnits)
        return true;
    ShowWarning(this, QStringLiteral("输入的内容过长"));
    contentEdit_->setFocus();
    return false;
}
