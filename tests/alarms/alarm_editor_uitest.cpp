#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "alarms/add_alarm_clock.h"
#include "alarms/edit_alarm_clock_dlg.h"
#include "alarms/zorvel_list_ctrl.h"
#include "settings/user_logs_dlg.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "support/temp_db.h"
#include "support/ui_helpers.h"

namespace {

using namespace zorvel;
using test::CloseNextMessageBox;
using test::WhenModal;

template <typename T>
T* Find(QWidget* dlg, const char* name) {
    T* w = dlg->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

AlarmClockList StoredAlarms() {
    AlarmClockList alarms;
    CClockManager().GetAllAlarmClocks(alarms);
    return alarms;
}

std::vector<std::u16string> StoredLogTexts() {
    std::vector<LogRecord> logs;
    CClockManager().GetAllLogs(logs);
    std::vector<std::u16string> texts;
    for (const LogRecord& l : logs)
        texts.push_back(FromStored(l.content));
    return texts;
}

std::u16string Text(const std::string& stored) {
    return FromStored(stored);
}

// What the combo box does when the user picks an entry from its list.
void PickRing(QWidget* dlg, int position) {
    auto* combo = Find<QComboBox>(dlg, "ringCombo");
    combo->setCurrentIndex(position);
    emit combo->activated(position);
}

// Chooses `path` in the file dialog that the next click opens.
void ChooseInFileDialog(const QString& path, QString* filter = nullptr) {
    WhenModal<QFileDialog>([path, filter](QFileDialog* dlg) {
        if (filter)
            *filter = dlg->nameFilters().join(";");
        // Typed into the file name field, then 打开.
        auto* name = dlg->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(path);
        static_cast<QDialog*>(dlg)->accept();
    });
}

class AlarmEditorTest : public test::TempDatabaseTest {
protected:
    void SetUp() override {
        TempDatabaseTest::SetUp();
        files = std::filesystem::path(dbPath).parent_path();
    }
    test::FixedClock clock{MakeLocalTime(2011, 9, 18, 10, 15, 30)};
    test::ModalWatchdog watchdog;
    std::filesystem::path files;
};

TEST_F(AlarmEditorTest, AddDialogOffersTheNextMinuteOfToday) {
    CAddAlarmClock dlg;
    EXPECT_EQ(dlg.windowTitle(), "添加闹钟");
    EXPECT_EQ(Find<QComboBox>(&dlg, "hourCombo")->currentText(), "10");
    EXPECT_EQ(Find<QComboBox>(&dlg, "minuteCombo")->currentText(), "16");
    EXPECT_EQ(Find<QComboBox>(&dlg, "hourCombo")->count(), 24);
    EXPECT_EQ(Find<QComboBox>(&dlg, "minuteCombo")->count(), 60);
    EXPECT_EQ(Find<QDateEdit>(&dlg, "datePicker")->date(), QDate(2011, 9, 18));
    EXPECT_FALSE(Find<QCheckBox>(&dlg, "everydayCheck")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(&dlg, "ringCheck")->isChecked());
    auto* ring = Find<QComboBox>(&dlg, "ringCombo");
    EXPECT_EQ(ring->currentIndex(), 0);
    QStringList entries;
    for (int i = 0; i < ring->count(); ++i)
        entries << ring->itemText(i);
    EXPECT_EQ(entries, QStringList({"#系统歌曲1", "#系统歌曲2", "#震动提示", "#无声提示",
                                    "#运行程序", "#重启电脑", "#关闭电脑"}));

    clock.Set(MakeLocalTime(2011, 9, 18, 10, 59, 59));
    CAddAlarmClock atHourEnd;
    EXPECT_EQ(Find<QComboBox>(&atHourEnd, "hourCombo")->currentText(), "11");
    EXPECT_EQ(Find<QComboBox>(&atHourEnd, "minuteCombo")->currentText(), "00");

    // At 23:59 the offer is 00:00 of the same (today's) date.
    clock.Set(MakeLocalTime(2011, 9, 18, 23, 59, 0));
    CAddAlarmClock atMidnight;
    EXPECT_EQ(atMidnight.BuildAlarmTime(), u"2011-09-18 00:00:00");
}

TEST_F(AlarmEditorTest, StoringTheDefaultAlarmLogsItAndRefreshesTheLogPage) {
    CUserLogsDlg logPage;
    CAddAlarmClock dlg;
    Find<QPushButton>(&dlg, "okButton")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);

    AlarmClockList alarms = StoredAlarms();
    ASSERT_EQ(alarms.size(), 1u);
    EXPECT_EQ(alarms[0]->alarmTime, "2011-09-18 10:16:00");
    EXPECT_FALSE(alarms[0]->isEveryday);
    EXPECT_TRUE(alarms[0]->isRing);
    EXPECT_EQ(Text(alarms[0]->ring), u"#系统歌曲1");
    EXPECT_EQ(alarms[0]->ringType, 0);
    EXPECT_EQ(alarms[0]->content, "");
    EXPECT_EQ(StoredLogTexts(),
              (std::vector<std::u16string>{u"添加了一个闹钟 2011-09-18 10:16:00"}));
    ASSERT_EQ(logPage.listCtrl()->GetItemCount(), 1);
    EXPECT_EQ(logPage.listCtrl()->GetItemText(0, 3), "添加了一个闹钟 2011-09-18 10:16:00");
}

TEST_F(AlarmEditorTest, EveryDayAlarmKeepsThePickersDateAndTypedNumbers) {
    CAddAlarmClock dlg;
    Find<QDateEdit>(&dlg, "datePicker")->setDate(QDate(2011, 9, 20));
    Find<QCheckBox>(&dlg, "everydayCheck")->click();
    EXPECT_FALSE(Find<QDateEdit>(&dlg, "datePicker")->isEnabled());
    // Numbers typed into the fields count as well as picked ones.
    Find<QComboBox>(&dlg, "hourCombo")->lineEdit()->setText("7");
    Find<QComboBox>(&dlg, "minuteCombo")->lineEdit()->setText("5");
    Find<QLineEdit>(&dlg, "contentEdit")->setText("晨练");
    Find<QPushButton>(&dlg, "okButton")->click();

    AlarmClockList alarms = StoredAlarms();
    ASSERT_EQ(alarms.size(), 1u);
    EXPECT_EQ(alarms[0]->alarmTime, "2011-09-20 07:05:00");
    EXPECT_TRUE(alarms[0]->isEveryday);
    EXPECT_EQ(Text(alarms[0]->content), u"晨练");
    EXPECT_EQ(StoredLogTexts(),
              (std::vector<std::u16string>{u"添加了一个闹钟 每天 2011-09-20 07:05:00"}));

    Find<QCheckBox>(&dlg, "everydayCheck")->click();
    EXPECT_TRUE(Find<QDateEdit>(&dlg, "datePicker")->isEnabled());
}

TEST_F(AlarmEditorTest, RunProgramRelabelsAndStoresTheChosenPathAsText) {
    std::string program = (files / "闹钟 程序.sh").string();
    std::ofstream(program) << "#!/bin/sh\n";
    QString cwd = QDir::currentPath();

    CAddAlarmClock dlg;
    dlg.show();
    PickRing(&dlg, 4);
    EXPECT_EQ(dlg.ringTypeSel(), 4);
    EXPECT_EQ(Find<QPushButton>(&dlg, "chooseFileButton")->text(), "选择程序路径");
    EXPECT_EQ(Find<QLabel>(&dlg, "contentLabel")->text(), "程序路径");

    QString filter;
    ChooseInFileDialog(QString::fromStdString(program), &filter);
    Find<QPushButton>(&dlg, "chooseFileButton")->click();
    EXPECT_EQ(filter, "所有文件 (*)");  // programs have no extension here
    EXPECT_EQ(Find<QLineEdit>(&dlg, "contentEdit")->text(), QString::fromStdString(program));
    EXPECT_EQ(QDir::currentPath(), cwd);

    Find<QPushButton>(&dlg, "okButton")->click();
    AlarmClockList alarms = StoredAlarms();
    ASSERT_EQ(alarms.size(), 1u);
    EXPECT_EQ(alarms[0]->ringType, 4);
    EXPECT_EQ(Text(alarms[0]->ring), u"#运行程序");
    EXPECT_EQ(Utf16ToUtf8(Text(alarms[0]->content)), program);

    // Back to a song: the labels are the song ones again.
    CAddAlarmClock other;
    PickRing(&other, 4);
    PickRing(&other, 1);
    EXPECT_EQ(Find<QPushButton>(&other, "chooseFileButton")->text(), "自定义歌曲");
    EXPECT_EQ(Find<QLabel>(&other, "contentLabel")->text(), "填写内容");
}

TEST_F(AlarmEditorTest, CustomSongClearsTheListSelectionAndStoresRingType7) {
    std::string song = (files / "晚安 song.mp3").string();
    std::ofstream(song) << "ID3";
    QString cwd = QDir::currentPath();

    CAddAlarmClock dlg;
    dlg.show();
    // A cancelled choice changes nothing.
    WhenModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
    Find<QPushButton>(&dlg, "chooseFileButton")->click();
    EXPECT_EQ(dlg.ringTypeSel(), 0);
    EXPECT_EQ(Find<QComboBox>(&dlg, "ringCombo")->currentIndex(), 0);

    QString filter;
    ChooseInFileDialog(QString::fromStdString(song), &filter);
    Find<QPushButton>(&dlg, "chooseFileButton")->click();
    EXPECT_EQ(filter, "mp3文件 (*.mp3)");
    auto* ring = Find<QComboBox>(&dlg, "ringCombo");
    EXPECT_EQ(ring->currentIndex(), -1);
    EXPECT_EQ(ring->currentText(), QString::fromStdString(song));
    EXPECT_EQ(dlg.ringTypeSel(), 7);
    EXPECT_EQ(QDir::currentPath(), cwd);

    Find<QPushButton>(&dlg, "okButton")->click();
    AlarmClockList alarms = StoredAlarms();
    ASSERT_EQ(alarms.size(), 1u);
    EXPECT_EQ(alarms[0]->ringType, 7);
    EXPECT_EQ(Utf16ToUtf8(Text(alarms[0]->ring)), song);
}

TEST_F(AlarmEditorTest, RingOffStoresNoRingWhenAddingAndTheShownOneWhenEditing) {
    CAddAlarmClock dlg;
    PickRing(&dlg, 2);
    Find<QCheckBox>(&dlg, "ringCheck")->click();
    EXPECT_FALSE(Find<QComboBox>(&dlg, "ringCombo")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(&dlg, "chooseFileButton")->isEnabled());
    Find<QPushButton>(&dlg, "okButton")->click();
    AlarmClockList alarms = StoredAlarms();
    ASSERT_EQ(alarms.size(), 1u);
    EXPECT_FALSE(alarms[0]->isRing);
    EXPECT_EQ(alarms[0]->ring, "");
    EXPECT_EQ(alarms[0]->ringType, 2);

    CClockManager().ModifyAlarmClock(alarms[0]->id, u"2011-09-18 10:16:00", false, true, u"",
                                     u"#震动提示", 2);
    CEditAlarmClockDlg edit(QString::fromStdString(alarms[0]->id));
    Find<QCheckBox>(&edit, "ringCheck")->click();
    Find<QPushButton>(&edit, "okButton")->click();
    alarms = StoredAlarms();
    EXPECT_FALSE(alarms[0]->isRing);
    EXPECT_EQ(Text(alarms[0]->ring), u"#震动提示");
}

TEST_F(AlarmEditorTest, QuickTextMenuListsStoredTextsWithWakeAndSleepLast) {
    {
        CClockManager m;
        for (const char16_t* text : {u"起床", u"开会", u"睡觉", u"A&B", u"开会"})
            m.AddAlarmClock(u"2011-09-18 08:00:00", false, true, text, u"#系统歌曲1", 0);
    }
    CAddAlarmClock dlg;
    dlg.show();
    Find<QLineEdit>(&dlg, "contentEdit")->setText("旧内容");
    Find<QToolButton>(&dlg, "quickButton")->click();
    QMenu* menu = dlg.quickMenu();
    EXPECT_TRUE(menu->isVisible());
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << a->data().toString();
    EXPECT_EQ(texts, QStringList({"开会", "A&B", "开会", "起床", "睡觉"}));
    EXPECT_EQ(menu->actions()[1]->text(), "A&&B");  // shown as written, not as a shortcut

    menu->actions()[1]->trigger();
    EXPECT_EQ(Find<QLineEdit>(&dlg, "contentEdit")->text(), "A&B");
    menu->hide();

    // Built afresh on every click.
    CClockManager().AddAlarmClock(u"2011-09-18 08:00:00", false, true, u"新", u"", 0);
    Find<QToolButton>(&dlg, "quickButton")->click();
    EXPECT_EQ(menu->actions().size(), 6);
    menu->hide();
}

TEST_F(AlarmEditorTest, TextsOver450UnitsAreRefusedAndTheEditorStaysOpen) {
    CAddAlarmClock dlg;
    dlg.show();
    auto* content = Find<QLineEdit>(&dlg, "contentEdit");
    // 449 characters and one outside the basic plane: 451 UTF-16 units.
    QString tooLong = QString(449, QChar(u'闹')) + QString::fromUtf8("😀");
    content->setText(tooLong);
    QString message;
    CloseNextMessageBox(&message);
    Find<QPushButton>(&dlg, "okButton")->click();
    EXPECT_EQ(message, "输入的内容过长");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(content->text(), tooLong);
    EXPECT_TRUE(StoredAlarms().empty());
    EXPECT_TRUE(StoredLogTexts().empty());

    content->setText(QString(450, QChar(u'闹')));
    Find<QPushButton>(&dlg, "okButton")->click();
    EXPECT_FALSE(dlg.isVisible());
    AlarmClockList alarms = StoredAlarms();
    ASSERT_EQ(alarms.size(), 1u);
    EXPECT_EQ(Text(alarms[0]->content).size(), 450u);

    CEditAlarmClockDlg edit(QString::fromStdString(alarms[0]->id));
    edit.show();
    Find<QLineEdit>(&edit, "contentEdit")->setText(QString(451, QChar(u'改')));
    CloseNextMessageBox(&message);
    message.clear();
    Find<QPushButton>(&edit, "okButton")->click();
    EXPECT_EQ(message, "输入的内容过长");
    EXPECT_TRUE(edit.isVisible());
    EXPECT_EQ(Text(StoredAlarms()[0]->content).size(), 450u);
    EXPECT_EQ(StoredLogTexts().size(), 1u);  // only the add
}

TEST_F(AlarmEditorTest, StorageErrorIsShownAndTheInputKept) {
    CAddAlarmClock dlg;
    dlg.show();
    Find<QLineEdit>(&dlg, "contentEdit")->setText("别丢了我");
    // Storage now points at a file that is no database of ours.
    std::string broken = (files / "broken.db3").string();
    std::ofstream(broken) << std::string(4096, 'x');
    SetDatabasePathForTesting(broken);

    QString message;
    CloseNextMessageBox(&message);
    Find<QPushButton>(&dlg, "okButton")->click();
    EXPECT_FALSE(message.isEmpty());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(Find<QLineEdit>(&dlg, "contentEdit")->text(), "别丢了我");

    SetDatabasePathForTesting(dbPath);
    Find<QPushButton>(&dlg, "okButton")->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(StoredAlarms().size(), 1u);
}

TEST_F(AlarmEditorTest, EditDialogShowsTheStoredAlarmAndUpdatesIt) {
    CClockManager().AddAlarmClock(u"2011-01-02 08:05:00", true, true, u"吃药",
                                  u"/home/u/音乐/歌.mp3", 7);
    CClockManager().AddAlarmClock(u"2011-09-18 09:00:00", false, false, u"/usr/bin/xterm",
                                  u"#运行程序", 4);
    AlarmClockList alarms = StoredAlarms();

    CEditAlarmClockDlg program(QString::fromStdString(alarms[1]->id));
    EXPECT_EQ(Find<QPushButton>(&program, "chooseFileButton")->text(), "选择程序路径");
    EXPECT_EQ(Find<QComboBox>(&program, "ringCombo")->currentText(), "#运行程序");
    EXPECT_FALSE(Find<QComboBox>(&program, "ringCombo")->isEnabled());

    CUserLogsDlg logPage;
    CEditAlarmClockDlg dlg(QString::fromStdString(alarms[0]->id));
    ASSERT_EQ(dlg.loadResult(), CEditAlarmClockDlg::Load::kLoaded);
    EXPECT_EQ(dlg.windowTitle(), "编辑闹钟");
    EXPECT_TRUE(Find<QCheckBox>(&dlg, "everydayCheck")->isChecked());
    EXPECT_FALSE(Find<QDateEdit>(&dlg, "datePicker")->isEnabled());
    EXPECT_EQ(Find<QDateEdit>(&dlg, "datePicker")->date(), QDate(2011, 1, 2));
    EXPECT_EQ(Find<QComboBox>(&dlg, "hourCombo")->currentText(), "08");
    EXPECT_EQ(Find<QComboBox>(&dlg, "minuteCombo")->currentText(), "05");
    EXPECT_EQ(Find<QComboBox>(&dlg, "ringCombo")->currentIndex(), -1);
    EXPECT_EQ(Find<QComboBox>(&dlg, "ringCombo")->currentText(), "/home/u/音乐/歌.mp3");
    EXPECT_EQ(Find<QLineEdit>(&dlg, "contentEdit")->text(), "吃药");
    EXPECT_EQ(dlg.ringTypeSel(), 7);

    Find<QComboBox>(&dlg, "minuteCombo")->setCurrentIndex(35);
    Find<QLineEdit>(&dlg, "contentEdit")->setText("吃药了");
    Find<QPushButton>(&dlg, "okButton")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    AlarmClockList after = StoredAlarms();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0]->id, alarms[0]->id);
    EXPECT_EQ(after[0]->alarmTime, "2011-01-02 08:35:00");
    EXPECT_EQ(Text(after[0]->content), u"吃药了");
    EXPECT_EQ(Text(after[0]->ring), u"/home/u/音乐/歌.mp3");
    EXPECT_EQ(after[0]->ringType, 7);
    EXPECT_EQ(after[0]->addTime, alarms[0]->addTime);
    EXPECT_EQ(StoredLogTexts(),
              (std::vector<std::u16string>{u"更新了一个闹钟 每天 2011-01-02 08:35:00"}));
    EXPECT_EQ(logPage.listCtrl()->GetItemCount(), 1);
}

TEST_F(AlarmEditorTest, AnAlarmDeletedWhileItsEditorIsOpenIsNotLost) {
    CEditAlarmClockDlg missing("{no-such-alarm}");
    EXPECT_EQ(missing.loadResult(), CEditAlarmClockDlg::Load::kMissing);

    CClockManager().AddAlarmClock(u"2011-09-18 09:00:00", false, true, u"旧", u"#系统歌曲1", 0);
    std::string id = StoredAlarms()[0]->id;
    CEditAlarmClockDlg dlg(QString::fromStdString(id));
    Find<QLineEdit>(&dlg, "contentEdit")->setText("改过的");
    CClockManager().RemoveAlarmClock(FromStored(id));  // the expired-alarm clean-up
    Find<QPushButton>(&dlg, "okButton")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    AlarmClockList alarms = StoredAlarms();
    ASSERT_EQ(alarms.size(), 1u);
    EXPECT_EQ(Text(alarms[0]->content), u"改过的");
    EXPECT_EQ(alarms[0]->alarmTime, "2011-09-18 09:00:00");
}

}  // namespace
