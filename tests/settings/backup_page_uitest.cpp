#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <memory>

#include "alarms/alarm_board.h"
#include "app/main_dlg.h"
#include "settings/soft_setting_dlg.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"

namespace {

using namespace zorvel;

class BackupPageTest : public test::AppTest {
protected:
    void Open(const QString& file) {
        CSoftSettingDlg::Parts parts = CMainDlg::SettingsPageParts(context());
        parts.chooseFile = [this, file](bool save, const QString& suggested) {
            offered = suggested;
            asked.push_back(save);
            return file;
        };
        page = std::make_unique<CSoftSettingDlg>(std::move(parts));
        page->show();
    }
    void Click(const char* name) { page->findChild<QPushButton*>(name)->click(); }
    std::vector<std::u16string> AlarmTexts() {
        AlarmClockList alarms;
        manager().GetAllAlarmClocks(alarms);
        std::vector<std::u16string> texts;
        for (const auto& a : alarms)
            texts.push_back(FromStored(a->content));
        return texts;
    }
    // The restore's question, answered with `answer`.
    static void Answer(QMessageBox::StandardButton answer) {
        ASSERT_TRUE(test::WaitUntil([] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String("restoreQuestion") && w->isVisible())
                    return true;
            return false;
        }));
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w);
                box && box->objectName() == QLatin1String("restoreQuestion"))
                box->button(answer)->click();
    }

    test::ModalWatchdog watchdog;
    std::unique_ptr<CSoftSettingDlg> page;
    QString offered;
    std::vector<bool> asked;
};

TEST_F(BackupPageTest, ABackupRestoresEverythingInThePlaceOfWhatCameAfter) {
    app->Start();
    manager().AddAlarmClock(u"2030-01-01 07:00:00", false, true, u"在备份里", u"", 0);
    const QString file = QString::fromStdString(dir.File("copy.db3"));
    Open(file);
    QString said;
    test::CloseNextMessageBox(&said);
    Click("backupButton");
    ASSERT_TRUE(test::WaitUntil([&] { return !said.isEmpty(); }));
    EXPECT_TRUE(said.startsWith(QStringLiteral("已备份到"))) << said.toStdString();
    EXPECT_TRUE(offered.endsWith(QStringLiteral("zorvel-备份-2011-09-18.db3")))
        << offered.toStdString();

    manager().AddAlarmClock(u"2030-01-01 08:00:00", false, true, u"备份之后", u"", 0);
    ASSERT_TRUE(test::WaitUntil([&] { return context().alarms().alarmList().size() == 2; }));
    // "否" changes nothing.
    Click("restoreButton");
    Answer(QMessageBox::No);
    test::ProcessEvents();
    EXPECT_EQ(AlarmTexts().size(), 2u);

    said.clear();
    test::CloseNextMessageBox(&said);
    Click("restoreButton");
    Answer(QMessageBox::Yes);
    ASSERT_TRUE(test::WaitUntil([&] { return !said.isEmpty(); }));
    EXPECT_TRUE(said.startsWith(QStringLiteral("已从"))) << said.toStdString();
    EXPECT_EQ(AlarmTexts(), std::vector<std::u16string>{u"在备份里"});
    // The engine read the alarms again; the data replaced is kept.
    ASSERT_TRUE(test::WaitUntil([&] { return context().alarms().alarmList().size() == 1; }));
    EXPECT_TRUE(std::filesystem::exists(dbPath + ".before-restore"));
}

TEST_F(BackupPageTest, AFileThatIsNotABackupIsNamedAndNothingIsAsked) {
    manager().AddAlarmClock(u"2030-01-01 07:00:00", false, true, u"留着", u"", 0);
    const std::string junk = dir.File("junk.db3");
    std::ofstream(junk) << "not a database";
    Open(QString::fromStdString(junk));
    QString said;
    test::CloseNextMessageBox(&said);
    Click("restoreButton");
    ASSERT_TRUE(test::WaitUntil([&] { return !said.isEmpty(); }));
    EXPECT_TRUE(said.contains(QStringLiteral("不是 Zorvel 的数据文件"))) << said.toStdString();
    EXPECT_EQ(AlarmTexts(), std::vector<std::u16string>{u"留着"});
    EXPECT_FALSE(std::filesystem::exists(dbPath + ".before-restore"));
}

}  // namespace
