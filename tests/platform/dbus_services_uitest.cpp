#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <ctime>

#include "platform/desktop_notifier.h"
#include "platform/session_sleep.h"
#include "platform/wake_ways.h"
#include "support/ui_dbus_mock.h"
#include "support/ui_helpers.h"

namespace {

using zorvel::test::CPrivateBus;
using zorvel::test::WaitUntil;

const QString kNotifications = QStringLiteral("org.freedesktop.Notifications");
const QString kNotificationsPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kSystemd = QStringLiteral("org.freedesktop.systemd1");
const QString kSystemdPath = QStringLiteral("/org/freedesktop/systemd1");

// The arguments of every call of `method` that the mock received.
std::vector<QVariantList> CallsOf(CPrivateBus& bus, const QString& name, const QString& path,
                                  const QString& method) {
    std::vector<QVariantList> calls;
    QDBusMessage reply = bus.Mock(name, path, QStringLiteral("GetMethodCalls"), {method});
    if (reply.type() != QDBusMessage::ReplyMessage)
        return calls;
    const QDBusArgument arg = reply.arguments().value(0).value<QDBusArgument>();
    arg.beginArray();
    while (!arg.atEnd()) {
        qulonglong when = 0;
        QVariantList args;
        arg.beginStructure();
        arg >> when >> args;
        arg.endStructure();
        calls.push_back(args);
    }
    arg.endArray();
    return calls;
}

// What holds logind's locks now: (what, who, why, mode) each.
std::vector<QStringList> Inhibitors(CPrivateBus& bus) {
    std::vector<QStringList> held;
    QDBusMessage call = QDBusMessage::createMethodCall(
        kLogind, kLogindPath, QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("ListInhibitors"));
    QDBusMessage reply = bus.connection().call(call);
    const QDBusArgument arg = reply.arguments().value(0).value<QDBusArgument>();
    arg.beginArray();
    while (!arg.atEnd()) {
        QString what, who, why, mode;
        uint uid = 0, pid = 0;
        arg.beginStructure();
        arg >> what >> who >> why >> mode >> uid >> pid;
        arg.endStructure();
        held.push_back({what, who, why, mode});
    }
    arg.endArray();
    return held;
}

class DbusTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The project's own packages bring dbus-daemon and python3-dbusmock.
        ASSERT_TRUE(bus.problem().isEmpty()) << bus.problem().toStdString();
    }
    CPrivateBus bus;
};

TEST_F(DbusTest, ANoticeCarriesItsUrgencyCategoryAndButtonsAndAnswersAnAction) {
    ASSERT_TRUE(bus.StartMock(QStringLiteral("notification_daemon"), kNotifications,
                              QStringLiteral(R"({"capabilities": "body actions"})")));
    CFreedesktopNotifier notifier(bus.connection());
    DesktopNotice notice;
    notice.summary = QStringLiteral("2030-01-01 08:30:00");
    notice.body = QStringLiteral("开会 <b>&</b>");
    notice.critical = true;
    notice.category = QStringLiteral("x-zorvel.alarm");
    notice.actions = {{QStringLiteral("snooze"), QStringLiteral("延迟再响")},
                      {QStringLiteral("close"), QStringLiteral("关闭")}};
    QStringList chosen;
    notifier.Post(notice, [&](const QString& action) { chosen << action; });
    std::vector<QVariantList> calls;
    ASSERT_TRUE(WaitUntil([&] {
        calls = CallsOf(bus, kNotifications, kNotificationsPath, QStringLiteral("Notify"));
        return !calls.empty();
    }));
    const QVariantList& a = calls[0];
    ASSERT_EQ(a.size(), 8);
    EXPECT_EQ(a[0].toString(), QStringLiteral("Zorvel"));
    EXPECT_EQ(a[3].toString(), notice.summary);
    EXPECT_EQ(a[4].toString(), QStringLiteral("开会 &lt;b&gt;&amp;&lt;/b&gt;"));  // shown as typed
    EXPECT_EQ(a[5].toStringList(),
              (QStringList{QStringLiteral("snooze"), QStringLiteral("延迟再响"),
                           QStringLiteral("close"), QStringLiteral("关闭")}));
    const QVariantMap hints = qdbus_cast<QVariantMap>(a[6].value<QDBusArgument>());
    EXPECT_EQ(hints.value(QStringLiteral("urgency")).toInt(), 2);
    EXPECT_EQ(hints.value(QStringLiteral("category")).toString(), notice.category);
    EXPECT_EQ(hints.value(QStringLiteral("desktop-entry")).toString(),
              QStringLiteral("org.zorvel.Zorvel"));

    // The server's id is 1; the action of another notice is not ours.
    bus.Emit(kNotifications, kNotificationsPath, kNotifications, QStringLiteral("ActionInvoked"),
             QStringLiteral("us"), {QVariant::fromValue(7u), QStringLiteral("close")});
    bus.Emit(kNotifications, kNotificationsPath, kNotifications, QStringLiteral("ActionInvoked"),
             QStringLiteral("us"), {QVariant::fromValue(1u), QStringLiteral("snooze")});
    ASSERT_TRUE(WaitUntil([&] { return !chosen.isEmpty(); }));
    EXPECT_EQ(chosen, QStringList{QStringLiteral("snooze")});

    // Withdrawn: closed on the server; one withdrawn before the server answered is closed too.
    notifier.Withdraw(1);
    const quint64 second = notifier.Post(notice, nullptr);
    notifier.Withdraw(second);
    ASSERT_TRUE(WaitUntil([&] {
        return CallsOf(bus, kNotifications, kNotificationsPath, QStringLiteral("CloseNotification"))
                   .size() == 2;
    }));
}

TEST_F(DbusTest, NoServerChangesNothing) {
    CFreedesktopNotifier notifier(bus.connection());
    bool told = false;
    const quint64 n = notifier.Post(DesktopNotice{}, [&](const QString&) { told = true; });
    zorvel::test::RunEventsFor(200);
    notifier.Withdraw(n);
    EXPECT_FALSE(told);
}

TEST_F(DbusTest, LogindLocksAreTakenAndReleasedAndSleepIsTold) {
    ASSERT_TRUE(bus.StartMock(QStringLiteral("logind"), kLogind));
    CLogindSleep sleep(bus.connection());
    std::vector<bool> told;
    sleep.SetSleepHandler([&](bool s) { told.push_back(s); });
    sleep.HoldSleepDelay(true);
    sleep.HoldIdleBlock(true);
    ASSERT_TRUE(WaitUntil([&] { return Inhibitors(bus).size() == 2; }));
    auto held = Inhibitors(bus);
    std::sort(held.begin(), held.end());
    EXPECT_EQ(held[0][0], QStringLiteral("idle"));
    EXPECT_EQ(held[0][3], QStringLiteral("block"));
    EXPECT_EQ(held[1][0], QStringLiteral("sleep"));
    EXPECT_EQ(held[1][1], QStringLiteral("Zorvel"));
    EXPECT_EQ(held[1][3], QStringLiteral("delay"));

    bus.Emit(kLogind, kLogindPath, QStringLiteral("org.freedesktop.login1.Manager"),
             QStringLiteral("PrepareForSleep"), QStringLiteral("b"), {true});
    ASSERT_TRUE(WaitUntil([&] { return !told.empty(); }));
    EXPECT_EQ(told, std::vector<bool>{true});
    sleep.HoldSleepDelay(false);
    sleep.HoldIdleBlock(false);
    ASSERT_TRUE(WaitUntil([&] { return Inhibitors(bus).empty(); }));
    // Taken again after the resume; asking twice takes one lock.
    sleep.HoldSleepDelay(true);
    sleep.HoldSleepDelay(true);
    ASSERT_TRUE(WaitUntil([&] { return Inhibitors(bus).size() == 1; }));
    zorvel::test::RunEventsFor(200);
    EXPECT_EQ(Inhibitors(bus).size(), 1u);
}

QJsonObject Started(CPrivateBus& bus) {
    QDBusMessage reply = bus.Mock(kSystemd, kSystemdPath, QStringLiteral("Started"));
    return QJsonDocument::fromJson(reply.arguments().value(0).toString().toUtf8()).object();
}

TEST_F(DbusTest, TheSystemdTimerWakesTheSystemAtAnAbsoluteMomentAndIsReplaced) {
    const QString templ = QStringLiteral(ZORVEL_SOURCE_DIR "/tests/support/dbus/systemd_user.py");
    ASSERT_TRUE(bus.StartMock(templ, kSystemd));
    CSystemdTimerWake wake(bus.connection());
    const std::time_t at = 1'893'483'000;  // 2030-01-01 07:30:00 UTC
    std::vector<bool> answers;
    wake.Arm(at, [&](bool armed) { answers.push_back(armed); });
    ASSERT_TRUE(WaitUntil([&] { return !answers.empty(); }));
    EXPECT_EQ(answers, std::vector<bool>{true});
    QJsonArray started = Started(bus)["started"].toArray();
    ASSERT_EQ(started.size(), 1);
    const QJsonObject unit = started[0].toObject();
    EXPECT_TRUE(unit["name"].toString().endsWith(QStringLiteral(".timer")));
    const QJsonObject p = unit["properties"].toObject();
    EXPECT_EQ(p["OnCalendar"].toString(), QStringLiteral("2030-01-01 07:30:00 UTC"));
    EXPECT_EQ(p["WakeSystem"], QJsonValue(true));
    EXPECT_EQ(p["AccuracyUSec"].toInteger(), 1000000);
    EXPECT_EQ(p["RemainAfterElapse"], QJsonValue(false));
    // The service it triggers has the timer's name and does nothing.
    const QJsonArray aux = unit["aux"].toArray();
    ASSERT_EQ(aux.size(), 1);
    QString service = unit["name"].toString();
    service.replace(QStringLiteral(".timer"), QStringLiteral(".service"));
    EXPECT_EQ(aux[0].toArray()[0].toString(), service);
    EXPECT_EQ(aux[0].toArray()[1].toObject()["ExecStart"].toArray()[0].toArray()[0].toString(),
              QStringLiteral("/bin/true"));

    // A new moment: a new timer, then the old one stops.
    wake.Arm(at + 3600, [&](bool armed) { answers.push_back(armed); });
    ASSERT_TRUE(WaitUntil([&] { return answers.size() == 2; }));
    QJsonObject state = Started(bus);
    ASSERT_EQ(state["started"].toArray().size(), 2);
    EXPECT_EQ(state["stopped"].toArray(), QJsonArray{unit["name"]});
    wake.Disarm();
    ASSERT_TRUE(WaitUntil([&] { return Started(bus)["stopped"].toArray().size() == 2; }));

    // A run that ended without disarming left a timer: the next run stops it before arming.
    {
        CSystemdTimerWake crashed(bus.connection());
        crashed.Arm(at, [&](bool armed) { answers.push_back(armed); });
        ASSERT_TRUE(WaitUntil([&] { return answers.size() == 3; }));
        const QString left = Started(bus)["started"].toArray()[2].toObject()["name"].toString();
        std::vector<bool> again;
        CSystemdTimerWake next(bus.connection());
        next.Arm(at, [&](bool armed) { again.push_back(armed); });
        ASSERT_TRUE(WaitUntil([&] { return !again.empty(); }));
        ASSERT_TRUE(WaitUntil([&] { return Started(bus)["stopped"].toArray().contains(left); }));
        // The timer of this run stays.
        const QString current = Started(bus)["started"].toArray()[3].toObject()["name"].toString();
        EXPECT_FALSE(Started(bus)["stopped"].toArray().contains(current));
    }
}

TEST_F(DbusTest, ATimerLeftFailedMeansSystemdCannotWakeHere) {
    const QString templ = QStringLiteral(ZORVEL_SOURCE_DIR "/tests/support/dbus/systemd_user.py");
    ASSERT_TRUE(bus.StartMock(templ, kSystemd, QStringLiteral(R"({"state": "failed"})")));
    CSystemdTimerWake wake(bus.connection());
    std::vector<bool> answers;
    wake.Arm(1'893'483'000, [&](bool armed) { answers.push_back(armed); });
    ASSERT_TRUE(WaitUntil([&] { return !answers.empty(); }));
    EXPECT_EQ(answers, std::vector<bool>{false});
    // No user manager at all: refused too.
    CSystemdTimerWake none(QDBusConnection(QStringLiteral("no-such-connection")));
    none.Arm(1'893'483'000, [&](bool armed) { answers.push_back(armed); });
    EXPECT_EQ(answers, (std::vector<bool>{false, false}));
}

// ---------------------------------------------------------------- zorvel-wake

const QString kHelper = QStringLiteral(ZORVEL_BUILD_DIR "/zorvel-wake");

TEST(WakeHelper, ArmsFiresAndEndsWithItsInput) {
    QProcess helper;
    helper.start(kHelper, {QStringLiteral("--realtime")});
    ASSERT_TRUE(helper.waitForStarted(5000));
    auto line = [&] {
        if (!helper.canReadLine())
            helper.waitForReadyRead(5000);
        return QString::fromUtf8(helper.readLine()).trimmed();
    };
    EXPECT_EQ(line(), QStringLiteral("ready"));
    const qint64 soon = QDateTime::currentSecsSinceEpoch() + 1;
    struct Case {
        QByteArray command;
        QString answer;
    };
    for (const Case& c :
         {Case{"arm soon\n", QStringLiteral("error not a number of seconds")},
          Case{"arm -5\n", QStringLiteral("error not a number of seconds")},
          Case{"arm 99999999999999999999\n", QStringLiteral("error not a number of seconds")},
          Case{"wake\n", QStringLiteral("error unknown command")},
          Case{QByteArray(300, 'x') + "\n", QStringLiteral("error line too long")},
          Case{"disarm\n", QStringLiteral("disarmed")},
          Case{"arm " + QByteArray::number(soon) + "\r\n", QStringLiteral("armed %1").arg(soon)}}) {
        helper.write(c.command);
        EXPECT_EQ(line(), c.answer) << c.command.left(40).toStdString();
    }
    EXPECT_EQ(line(), QStringLiteral("fired %1").arg(soon));
    // A re-arm replaces the moment; the end of the input ends the helper.
    helper.write("arm " + QByteArray::number(soon + 3600) + "\n");
    EXPECT_EQ(line(), QStringLiteral("armed %1").arg(soon + 3600));
    helper.closeWriteChannel();
    ASSERT_TRUE(helper.waitForFinished(5000));
    EXPECT_EQ(helper.exitCode(), 0);
}

TEST(WakeHelper, RefusesClearlyWithoutTheCapabilityAndTheWayReportsIt) {
    // Run without CAP_WAKE_ALARM, even by root.
    const QStringList withoutCap{QStringLiteral("--bounding-set=-wake_alarm"),
                                 QStringLiteral("--inh-caps=-wake_alarm"), kHelper};
    QProcess helper;
    helper.start(QStringLiteral("setpriv"), withoutCap);
    helper.closeWriteChannel();
    ASSERT_TRUE(helper.waitForFinished(5000));
    EXPECT_EQ(helper.exitCode(), 3);
    EXPECT_EQ(helper.readAllStandardOutput().trimmed(), QByteArray("refused CAP_WAKE_ALARM"));
    const QString error = QString::fromUtf8(helper.readAllStandardError());
    EXPECT_TRUE(error.contains(QStringLiteral("setcap cap_wake_alarm+ep"))) << error.toStdString();

    std::vector<bool> answers;
    CHelperWake refused(QStringLiteral("setpriv"), withoutCap);
    refused.Arm(QDateTime::currentSecsSinceEpoch() + 600, [&](bool a) { answers.push_back(a); });
    CHelperWake works(kHelper, {QStringLiteral("--realtime")});
    works.Arm(QDateTime::currentSecsSinceEpoch() + 600, [&](bool a) { answers.push_back(a); });
    CHelperWake missing(QStringLiteral("/nonexistent/zorvel-wake"));
    missing.Arm(QDateTime::currentSecsSinceEpoch() + 600, [&](bool a) { answers.push_back(a); });
    ASSERT_TRUE(WaitUntil([&] { return answers.size() == 3; }));
    std::sort(answers.begin(), answers.end());
    EXPECT_EQ(answers, (std::vector<bool>{false, false, true}));
}

}  // namespace
