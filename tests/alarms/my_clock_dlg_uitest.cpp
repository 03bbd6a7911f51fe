#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>

#include "alarms/alarm_dlg.h"
#include "alarms/my_clock_dlg.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "support/temp_db.h"

namespace {

using namespace zorvel;

std::vector<CAlarmDlg*> OpenRingWindows() {
    std::vector<CAlarmDlg*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<CAlarmDlg*>(w); d && d->isVisible())
            found.push_back(d);
    return found;
}

class AlarmPageTest : public test::TempDatabaseTest {
protected:
    void TearDown() override {
        for (CAlarmDlg* d : OpenRingWindows())
            d->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        TempDatabaseTest::TearDown();
    }
};

TEST_F(AlarmPageTest, LoadsAlarmsAndRingsTheDueOnesInListOrder) {
    {
        CClockManager m;
        m.AddAlarmClock(u"2011-09-18 08:30:00", false, false, u"第一", u"", kRingSilent);
        m.AddAlarmClock(u"2011-09-18 09:00:00", false, false, u"later", u"", kRingSilent);
        m.AddAlarmClock(u"2011-01-01 08:30:00", true, false, u"第二", u"", kRingSilent);
    }
    PlatformServices fakes;  // nothing to play or start: the alarms are silent
    CMyClockDlg page(nullptr, fakes);
    page.OnInitDialog();
    EXPECT_TRUE(page.IsTesting());
    ASSERT_EQ(page.alarmList().size(), 3u);

    std::vector<QString> rang;
    QObject::connect(&page, &CMyClockDlg::AlarmRang,
                     [&](const QString& id) { rang.push_back(id); });
    page.CheckDueAlarms(MakeLocalTime(2011, 9, 18, 8, 29, 59));
    EXPECT_TRUE(OpenRingWindows().empty());
    page.CheckDueAlarms(MakeLocalTime(2011, 9, 18, 8, 30, 0));
    page.CheckDueAlarms(MakeLocalTime(2011, 9, 18, 8, 30, 1));
    ASSERT_EQ(rang.size(), 2u);
    auto windows = OpenRingWindows();
    ASSERT_EQ(windows.size(), 2u);
    QStringList texts;
    for (auto* w : windows)
        texts << w->findChild<QLabel*>("alarmContentLabel")->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("第一")) && texts.contains(QStringLiteral("第二")));
    EXPECT_EQ(page.ringWindow->alarm()->id, rang.back().toStdString());
    // Both windows share their records with the list.
    EXPECT_EQ(page.ringWindow->alarm().get(), page.alarmList()[2].get());
}

}  // namespace
