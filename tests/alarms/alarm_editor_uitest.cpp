#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "alarms/add_alarm_clock.h"
#include "alarms/edit_alarm_clock_dlg.h"
#include "settings/user_logs_dlg.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"
#include "widgets/zorvel_list_ctrl.h"

namespace {

using namespace zorvel;

template <typename T>
T* Find(QWidget* dlg, const char* name) {
    T* w = dlg->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// What the combo box does when the user picks an entry from its list.
void PickRing(QWidget* dlg, int position) {
    auto* combo = Find<QComboBox>(dlg, "ringCombo");
    combo->setCurrentIndex(position);
    emit combo->activated(position);
}

// Clicks the file button and types `path` into the file dialog that opens.
QString ChooseFile(QWidget* dlg, const std::string& path) {
    QString filter;
    test::WhenModal<QFileDialog>([&](QFileDialog* files) {
        filter = files->nameFilters().join(";");
        files->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(path));
        static_cast<QDialog*>(files)->accept();
    });
    Find<QPushButton>(dlg, "chooseFileButton")->click();
    return filter;
}

class AlarmEditorTest : public test::AppTest {
protected:
    AlarmClockRecord OnlyAlarm() {
        AlarmClockList alarms;
        manager().GetAllAlarmClocks(alarms);
        EXPECT_EQ(alarms.size(), 1u);
        return alarms.empty() ? AlarmClockRecord{} : *alarms[0];
    }
    std::vector<std::u16string> LogTexts() { return StoredLogTexts(); }
    std::string File(const char* name) {
        std::string path = (std::filesystem::path(dbPath).parent_path() / name).string();
        std::ofstream(path) << "x";
        return path;
    }
    test::ModalWatchdog watchdog;
};

TEST_F(AlarmEditorTest, TheDefaultAlarmIsTheNextMinuteOfTodayAndIsLogged) {
    CUserLogsDlg logPage(manager(), context().notifier());
    CAddAlarmClock dlg(manager(), clock, nullptr);
    EXPECT_EQ(Find<QComboBox>(&dlg, "hourCombo")->currentText(), "10");
    EXPECT_EQ(Find<QComboBox>(&dlg, "minuteCombo")->currentText(), "16");
    EXPECT_EQ(Find<QComboBox>(&dlg, "repeatCombo")->currentText(), "仅一次");
    EXPECT_TRUE(Find<QCheckBox>(&dlg, "ringCheck")->isChecked());
    EXPECT_EQ(Find<QComboBox>(&dlg, "ringCombo")->count(), 7);
    Find<QPushButton>(&dlg, "okButton")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    AlarmClockRecord a = OnlyAlarm();
    EXPECT_EQ(a.alarmTime, "2011-09-18 10:16:00");
    EXPECT_TRUE(!a.isEveryday && a.isRing && a.ringType == 0);
    EXPECT_EQ(FromStored(a.ring), u"#系统歌曲1");
    EXPECT_EQ(LogTexts(), std::vector<std::u16string>{u"添加了一个闹钟 2011-09-18 10:16:00"});
    FlushChanges();  // as the event loop would, once the dialog has closed
    EXPECT_EQ(logPage.listCtrl()->GetItemCount(), 1);

    clock.Set(MakeLocalTime(2011, 9, 18, 10, 59, 59));
    EXPECT_EQ(CAddAlarmClock(manager(), clock, nullptr).BuildAlarmTime(), u"2011-09-18 11:00:00");
    clock.Set(MakeLocalTime(2011, 9, 18, 23, 59, 0));
    EXPECT_EQ(CAddAlarmClock(manager(), clock, nullptr).BuildAlarmTime(),
              u"2011-09-18 00:00:00");  // still today
}

TEST_F(AlarmEditorTest, EveryDayAlarmKeepsThePickersDateAndIsLoggedWithEveryDay) {
    CAddAlarmClock dlg(manager(), clock, nullptr);
    Find<QDateEdit>(&dlg, "datePicker")->setDate(QDate(2011, 9, 20));
    Find<QComboBox>(&dlg, "repeatCombo")->setCurrentIndex(1);  // 每天
    EXPECT_FALSE(Find<QDateEdit>(&dlg, "datePicker")->isEnabled());
    Find<QComboBox>(&dlg, "hourCombo")->lineEdit()->setText("7");  // typed, not picked
    Find<QComboBox>(&dlg, "minuteCombo")->setCurrentIndex(5);
    // No ring: the add dialog stores no ring text.
    Find<QCheckBox>(&dlg, "ringCheck")->click();
    EXPECT_FALSE(Find<QPushButton>(&dlg, "chooseFileButton")->isEnabled());
    Find<QPushButton>(&dlg, "okButton")->click();
    AlarmClockRecord a = OnlyAlarm();
    EXPECT_EQ(a.alarmTime, "2011-09-20 07:05:00");
    EXPECT_TRUE(a.isEveryday && !a.isRing);
    EXPECT_EQ(a.ring, "");
    EXPECT_EQ(LogTexts(), std::vector<std::u16string>{u"添加了一个闹钟 每天 2011-09-20 07:05:00"});
}

TEST_F(AlarmEditorTest, ProgramsAndSongsAreChosenInAFileDialog) {
    std::string program = File("闹钟 程序");
    std::string song = File("晚安 song.mp3");
    QString cwd = QDir::currentPath();
    CAddAlarmClock dlg(manager(), clock, nullptr);
    dlg.show();
    PickRing(&dlg, 4);
    EXPECT_EQ(Find<QPushButton>(&dlg, "chooseFileButton")->text(), "选择程序路径");
    EXPECT_EQ(Find<QLabel>(&dlg, "contentLabel")->text(), "程序路径");
    EXPECT_EQ(ChooseFile(&dlg, program), "所有文件 (*)");  // programs have no extension here
    EXPECT_EQ(Find<QLineEdit>(&dlg, "contentEdit")->text().toStdString(), program);

    PickRing(&dlg, 1);
    EXPECT_EQ(Find<QLabel>(&dlg, "contentLabel")->text(), "填写内容");
    EXPECT_EQ(ChooseFile(&dlg, song), "mp3文件 (*.mp3)");
    EXPECT_EQ(Find<QComboBox>(&dlg, "ringCombo")->currentIndex(), -1);
    EXPECT_EQ(dlg.ringTypeSel(), 7);
    EXPECT_EQ(QDir::currentPath(), cwd);
    Find<QPushButton>(&dlg, "okButton")->click();
    AlarmClockRecord a = OnlyAlarm();
    EXPECT_EQ(a.ringType, 7);
    EXPECT_EQ(Utf16ToUtf8(FromStored(a.ring)), song);
    EXPECT_EQ(Utf16ToUtf8(FromStored(a.content)), program);
}

TEST_F(AlarmEditorTest, QuickTextMenuListsStoredTextsWithWakeAndSleepLast) {
    for (const char16_t* text : {u"起床", u"开会", u"睡觉", u"A&B", u"开会"})
        manager().AddAlarmClock(u"2011-09-18 08:00:00", false, true, text, u"", 0);
    CAddAlarmClock dlg(manager(), clock, nullptr);
    dlg.show();
    Find<QToolButton>(&dlg, "quickButton")->click();
    QStringList texts;
    for (QAction* a : dlg.quickMenu()->actions())
        texts << a->data().toString();
    EXPECT_EQ(texts, QStringList({"开会", "A&B", "开会", "起床", "睡觉"}));
    dlg.quickMenu()->actions()[1]->trigger();
    EXPECT_EQ(Find<QLineEdit>(&dlg, "contentEdit")->text(), "A&B");
    dlg.quickMenu()->hide();
}

TEST_F(AlarmEditorTest, RefusedTextsAndStorageErrorsKeepTheEditorOpenWithTheInput) {
    CAddAlarmClock dlg(manager(), clock, nullptr);
    dlg.show();
    auto* content = Find<QLineEdit>(&dlg, "contentEdit");
    // 449 characters and one outside the basic plane: 451 UTF-16 units.
    QString tooLong = QString(449, QChar(u'闹')) + QString::fromUtf8("😀");
    content->setText(tooLong);
    QString message;
    test::CloseNextMessageBox(&message);
    Find<QPushButton>(&dlg, "okButton")->click();
    ASSERT_TRUE(test::WaitUntil([&] { return !message.isEmpty(); }));
    EXPECT_EQ(message, "输入的内容过长");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(content->text(), tooLong);

    // A file that is no database of ours.
    CStore broken(File("broken.db3"), clock);
    CAddAlarmClock onBroken(broken.Manager(), clock, nullptr);
    onBroken.show();
    Find<QLineEdit>(&onBroken, "contentEdit")->setText(QString(450, QChar(u'闹')));
    message.clear();
    test::CloseNextMessageBox(&message);
    Find<QPushButton>(&onBroken, "okButton")->click();
    EXPECT_TRUE(test::WaitUntil([&] { return !message.isEmpty(); }));
    EXPECT_TRUE(onBroken.isVisible());
    EXPECT_EQ(Find<QLineEdit>(&onBroken, "contentEdit")->text().size(), 450);

    content->setText(QString(450, QChar(u'闹')));
    Find<QPushButton>(&dlg, "okButton")->click();
    EXPECT_FALSE(dlg.isVisible());
    AlarmClockRecord a = OnlyAlarm();
    EXPECT_EQ(FromStored(a.content).size(), 450u);

    CEditAlarmClockDlg edit(QString::fromStdString(a.id), manager(), clock, nullptr);
    edit.show();
    Find<QLineEdit>(&edit, "contentEdit")->setText(QString(451, QChar(u'改')));
    message.clear();
    test::CloseNextMessageBox(&message);
    Find<QPushButton>(&edit, "okButton")->click();
    ASSERT_TRUE(test::WaitUntil([&] { return !message.isEmpty(); }));
    EXPECT_EQ(message, "输入的内容过长");
    EXPECT_TRUE(edit.isVisible());
    EXPECT_EQ(LogTexts().size(), 1u);  // only the add
}

TEST_F(AlarmEditorTest, EditorShowsTheStoredAlarmAndUpdatesIt) {
    manager().AddAlarmClock(u"2011-01-02 08:05:00", true, false, u"吃药", u"/音乐/歌.mp3", 7);
    AlarmClockRecord before = OnlyAlarm();
    CEditAlarmClockDlg dlg(QString::fromStdString(before.id), manager(), clock, nullptr);
    ASSERT_EQ(dlg.loadResult(), CEditAlarmClockDlg::Load::kLoaded);
    EXPECT_FALSE(Find<QDateEdit>(&dlg, "datePicker")->isEnabled());
    EXPECT_EQ(Find<QDateEdit>(&dlg, "datePicker")->date(), QDate(2011, 1, 2));
    EXPECT_EQ(Find<QComboBox>(&dlg, "hourCombo")->currentText(), "08");
    EXPECT_EQ(Find<QComboBox>(&dlg, "minuteCombo")->currentText(), "05");
    EXPECT_EQ(Find<QComboBox>(&dlg, "ringCombo")->currentText(), "/音乐/歌.mp3");
    EXPECT_FALSE(Find<QComboBox>(&dlg, "ringCombo")->isEnabled());
    EXPECT_EQ(dlg.ringTypeSel(), 7);

    Find<QLineEdit>(&dlg, "contentEdit")->setText("吃药了");
    Find<QPushButton>(&dlg, "okButton")->click();
    AlarmClockRecord after = OnlyAlarm();
    EXPECT_EQ(after.id, before.id);
    EXPECT_EQ(FromStored(after.content), u"吃药了");
    EXPECT_EQ(FromStored(after.ring), u"/音乐/歌.mp3");  // the shown ring, even though off
    EXPECT_TRUE(after.isEveryday && !after.isRing && after.ringType == 7);
    EXPECT_EQ(LogTexts(), std::vector<std::u16string>{u"更新了一个闹钟 每天 2011-01-02 08:05:00"});

    // Deleted while the editor was open (the expired-alarm clean-up): not lost.
    CEditAlarmClockDlg again(QString::fromStdString(before.id), manager(), clock, nullptr);
    manager().RemoveAlarmClock(FromStored(before.id));
    Find<QPushButton>(&again, "okButton")->click();
    EXPECT_EQ(FromStored(OnlyAlarm().content), u"吃药了");
    // Stored anew, so logged as a new alarm.
    EXPECT_EQ(LogTexts().back(), u"添加了一个闹钟 每天 2011-01-02 08:05:00");
    EXPECT_EQ(CEditAlarmClockDlg("{gone}", manager(), clock, nullptr).loadResult(),
              CEditAlarmClockDlg::Load::kMissing);
}

// The alarm and its log line land together or not at all: a log line that cannot be written
// takes the new alarm back with it, and the editor stays open with what the user entered.
TEST_F(AlarmEditorTest, AnAlarmIsNeverStoredWithoutItsLogLine) {
    CAddAlarmClock dlg(manager(), clock, nullptr);
    dlg.show();
    Find<QLineEdit>(&dlg, "contentEdit")->setText("开会");
    // A log table that refuses every row, as a full disk would.
    database().Open();
    CppSQLite3DB raw;
    OpenKeyed(raw, dbPath);
    raw.ExecuteUpdate(
        "create trigger full before insert on log "
        "begin select raise(abort, 'database or disk is full'); end;");
    QString message;
    test::CloseNextMessageBox(&message);
    Find<QPushButton>(&dlg, "okButton")->click();
    ASSERT_TRUE(test::WaitUntil([&] { return !message.isEmpty(); }));
    EXPECT_TRUE(message.contains("disk is full")) << message.toStdString();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(Find<QLineEdit>(&dlg, "contentEdit")->text(), "开会");
    AlarmClockList alarms;
    manager().GetAllAlarmClocks(alarms);
    EXPECT_TRUE(alarms.empty());
    EXPECT_TRUE(LogTexts().empty());
}

TEST_F(AlarmEditorTest, ChangesAreDroppedOnlyAfterAsking) {
    int asked = 0;
    // Untouched, the add dialog closes at once.
    CAddAlarmClock untouched(manager(), clock, nullptr);
    untouched.show();
    QTest::keyClick(&untouched, Qt::Key_Escape);
    EXPECT_FALSE(untouched.isVisible());

    CAddAlarmClock dlg(manager(), clock, nullptr);
    dlg.show();
    auto* content = Find<QLineEdit>(&dlg, "contentEdit");
    QTest::keyClicks(content, "meet");
    test::AnswerDiscardQuestion(QMessageBox::No, &asked);
    QTest::keyClick(content, Qt::Key_Escape);
    test::AnswerDiscardQuestion(QMessageBox::No, &asked);
    Find<QPushButton>(&dlg, "cancelButton")->click();
    test::AnswerDiscardQuestion(QMessageBox::No, &asked);
    dlg.close();
    EXPECT_EQ(asked, 3);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(content->text(), "meet");
    test::AnswerDiscardQuestion(QMessageBox::Yes, &asked);
    dlg.close();
    EXPECT_FALSE(dlg.isVisible());
    AlarmClockList alarms;
    manager().GetAllAlarmClocks(alarms);
    EXPECT_TRUE(alarms.empty());

    // Any field counts, not only the text; a field set back to what it was does not.
    manager().AddAlarmClock(u"2011-01-02 08:05:00", false, true, u"吃药", u"#系统歌曲2", 1);
    const QString id = QString::fromStdString(OnlyAlarm().id);
    CEditAlarmClockDlg edit(id, manager(), clock, nullptr);
    edit.show();
    EXPECT_FALSE(edit.HasChanges());
    Find<QComboBox>(&edit, "minuteCombo")->setCurrentIndex(6);
    EXPECT_TRUE(edit.HasChanges());
    Find<QComboBox>(&edit, "minuteCombo")->setCurrentIndex(5);
    Find<QComboBox>(&edit, "repeatCombo")->setCurrentIndex(1);
    EXPECT_TRUE(edit.HasChanges());
    Find<QComboBox>(&edit, "repeatCombo")->setCurrentIndex(0);
    PickRing(&edit, 3);
    EXPECT_TRUE(edit.HasChanges());
    PickRing(&edit, 1);
    Find<QPushButton>(&edit, "cancelButton")->click();
    EXPECT_FALSE(edit.isVisible());
    EXPECT_EQ(asked, 4);
}

}  // namespace
