#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <fstream>

#include "alarms/alarm_board.h"
#include "alarms/my_clock_dlg.h"
#include "storage/clock_manager.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"
#include "widgets/zorvel_list_ctrl.h"

namespace {

using namespace zorvel;

class IcalPageTest : public test::AppTest {
protected:
    IcalPageTest() : page(context().alarms(), context().store(), context().settings(), clock) {
        app->Start();
        page.SetFileChooser([this](bool, const QString&) { return file; });
    }
    void Click(const char* name) { page.findChild<QPushButton*>(name)->click(); }
    // The text of the import's question, answered with `answer`.
    static QString Answer(QMessageBox::StandardButton answer) {
        QMessageBox* box = nullptr;
        test::WaitUntil([&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* b = qobject_cast<QMessageBox*>(w);
                    b && b->isVisible() && b->objectName() == QLatin1String("importQuestion"))
                    box = b;
            return box != nullptr;
        });
        if (!box)
            return {};
        const QString text = box->text();
        box->button(answer)->click();
        return text;
    }

    test::ModalWatchdog watchdog;
    CMyClockDlg page;
    QString file;
};

TEST_F(IcalPageTest, ExportThenImportAddsNothingAndAForeignFileIsAskedAbout) {
    manager().AddAlarmClock(u"2030-01-01 07:00:00", false, true, u"早会", u"#系统歌曲1", 0);
    file = QString::fromStdString(dir.File("alarms.ics"));
    QString said;
    test::CloseNextMessageBox(&said);
    Click("exportIcsButton");
    ASSERT_TRUE(test::WaitUntil([&] { return !said.isEmpty(); }));
    EXPECT_TRUE(said.startsWith(QStringLiteral("已导出到"))) << said.toStdString();

    said.clear();
    test::CloseNextMessageBox(&said);
    Click("importIcsButton");
    ASSERT_TRUE(test::WaitUntil([&] { return !said.isEmpty(); }));
    EXPECT_TRUE(said.contains(QStringLiteral("另有 1 项已存在"))) << said.toStdString();

    file = QString::fromStdString(dir.File("other.ics"));
    std::ofstream(file.toStdString())
        << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//EN\r\n"
           "BEGIN:VEVENT\r\nUID:a@x\r\nDTSTART:20300102T080000\r\nSUMMARY:周会\r\n"
           "RRULE:FREQ=WEEKLY;BYDAY=TH\r\nEND:VEVENT\r\n"
           "BEGIN:VEVENT\r\nUID:b@x\r\nDTSTART:20300102T080000\r\nSUMMARY:月报\r\n"
           "RRULE:FREQ=MONTHLY\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    Click("importIcsButton");
    const QString asked = Answer(QMessageBox::Yes);
    EXPECT_TRUE(asked.contains(QStringLiteral("1 个闹钟"))) << asked.toStdString();
    EXPECT_TRUE(asked.contains(QStringLiteral("「月报」：按月重复无法表示")))
        << asked.toStdString();
    ASSERT_TRUE(test::WaitUntil([&] { return page.listCtrl()->GetItemCount() == 2; }));
}

}  // namespace
