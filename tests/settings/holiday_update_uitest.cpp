#include "settings/holiday_update.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/main_dlg.h"
#include "calendar/holiday_files.h"
#include "calendar/holiday_tables.h"
#include "settings/soft_setting_dlg.h"
#include "support/temp_db.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"

namespace {

// A web server on the loopback interface: each path gets its own answer, or none at all.
class LocalServer : public QObject {
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        bool silent = false;  // read the request and never answer
    };

    LocalServer() {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Serve(socket); });
            }
        });
    }
    quint16 port() const { return server_.serverPort(); }
    std::map<QByteArray, Answer> answers;

private:
    void Serve(QTcpSocket* socket) {
        request_[socket] += socket->readAll();
        const QByteArray& request = request_[socket];
        if (!request.contains("\r\n\r\n"))
            return;
        const QByteArray path = request.split(' ').value(1);
        const auto it = answers.find(path);
        const Answer answer = it == answers.end() ? Answer{404, "not here"} : it->second;
        if (answer.silent)
            return;
        socket->write("HTTP/1.1 " + QByteArray::number(answer.status) +
                      " X\r\nContent-Type: application/json\r\nContent-Length: " +
                      QByteArray::number(answer.body.size()) + "\r\nConnection: close\r\n\r\n");
        socket->write(answer.body);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    std::map<QTcpSocket*, QByteArray> request_;
};

QByteArray Day(const char* date, bool off = true, const char* name = "元旦") {
    return QByteArray(R"({"name":")") + name + R"(","date":")" + date + R"(","isOffDay":)" +
           (off ? "true" : "false") + "}";
}

QByteArray Year(int year, const QByteArray& days) {
    return R"({"year":)" + QByteArray::number(year) + R"(,"days":[)" + days + "]}";
}

class HolidayUpdateTest : public ::testing::Test {
protected:
    HolidayUpdateTest() : folder(dir.path().string() + "/holidays/") {
        const std::string url =
            "http://127.0.0.1:" + std::to_string(server.port()) + "/{year}.json";
        setenv("ZORVEL_HOLIDAY_URL", url.c_str(), 1);
    }
    ~HolidayUpdateTest() override {
        unsetenv("ZORVEL_HOLIDAY_URL");
        zorvel::SetCurrentHolidaySchedule(zorvel::ShippedHolidaySchedule());
    }

    // Runs one update of 2026 and 2027 and returns its report; fails if it takes far longer
    // than the time limit.
    QString Run(int timeoutMs = 2000) {
        CHolidayUpdate update(folder);
        QSignalSpy finished(&update, &CHolidayUpdate::Finished);
        QElapsedTimer clock;
        clock.start();
        update.Start({2026, 2027}, timeoutMs);
        EXPECT_TRUE(finished.wait(timeoutMs + 3000));
        EXPECT_LT(clock.elapsed(), timeoutMs + 3000);
        EXPECT_EQ(finished.count(), 1);
        return finished.isEmpty() ? QString() : finished.first().first().toString();
    }
    QByteArray Stored(int year) {
        QFile file(QString::fromStdString(folder) + QString::number(year) + ".json");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }

    zorvel::test::TempDir dir;
    std::string folder;
    LocalServer server;
    const QByteArray good2026 = Year(2026, Day("2026-01-01") + "," + Day("2026-01-04", false));
    const QByteArray good2027 = Year(2027, Day("2026-12-31") + "," + Day("2027-01-01"));
};

TEST_F(HolidayUpdateTest, GoodAnswersAreKeptAndTakeEffect) {
    server.answers["/2026.json"] = {200, good2026};
    server.answers["/2027.json"] = {200, good2027};
    const auto generation = zorvel::HolidayScheduleGeneration();
    EXPECT_EQ(Run(), QStringLiteral("已更新 2026、2027 年的节假日安排"));
    EXPECT_EQ(Stored(2026), good2026);
    EXPECT_EQ(Stored(2027), good2027);
    EXPECT_NE(zorvel::HolidayScheduleGeneration(), generation);
    const auto schedule = zorvel::CurrentHolidaySchedule();
    EXPECT_TRUE(schedule->HasYear(2027));
    EXPECT_EQ(schedule->StatusOf(2026, 12, 31).holiday, "元旦");
    EXPECT_TRUE(schedule->IsWorkday(2026, 10, 1));  // the answer for 2026 replaced the table
}

// Every bad answer for 2027 is refused with its reason while 2026 goes through, and the 2027
// file kept from before stays as it was.
TEST_F(HolidayUpdateTest, BadAnswersLeaveThePreviousFile) {
    struct Case {
        const char* what;
        LocalServer::Answer answer;
        const char* reason;
    };
    QByteArray many;
    for (int day = 1; day <= 61; ++day)
        many += (day > 1 ? "," : "") + Day(QStringLiteral("2027-03-%1")
                                               .arg(day % 31 + 1, 2, 10, QChar('0'))
                                               .toLatin1()
                                               .constData(),
                                           true, QByteArray::number(day).constData());
    const Case cases[] = {
        {"truncated JSON", {200, good2027.left(good2027.size() - 9)}, "JSON"},
        {"wrong year", {200, Year(2028, Day("2028-01-01"))}, "年份不是 2027"},
        {"date outside the year", {200, Year(2027, Day("2028-01-01"))}, "不在 2027 年内"},
        {"duplicate date", {200, Year(2027, Day("2027-01-01") + "," + Day("2027-01-01"))}, "两次"},
        {"empty name", {200, Year(2027, Day("2027-01-01", true, ""))}, "没有名称"},
        {"more than 60 entries", {200, Year(2027, many)}, "超过 60"},
        {"ten megabytes", {200, Year(2027, Day("2027-01-01")) + QByteArray(10 << 20, ' ')}, "太大"},
        {"not published", {404, "no"}, "尚未公布"},
        {"server error", {500, good2027}, "无法取得"},
    };
    QDir().mkpath(QString::fromStdString(folder));
    const QByteArray previous = Year(2027, Day("2027-01-01", true, "之前的"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            QFile file(QString::fromStdString(folder) + "2027.json");
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(previous);
        }
        server.answers["/2026.json"] = {200, good2026};
        server.answers["/2027.json"] = c.answer;
        const QString report = Run();
        EXPECT_TRUE(report.startsWith(QStringLiteral("已更新 2026 年的节假日安排")))
            << report.toStdString();
        EXPECT_TRUE(report.contains(QStringLiteral("2027 年：")) &&
                    report.contains(QString::fromUtf8(c.reason)))
            << report.toStdString();
        EXPECT_EQ(Stored(2027), previous);
        EXPECT_EQ(zorvel::CurrentHolidaySchedule()->StatusOf(2027, 1, 1).holiday, "之前的");
    }
}

TEST_F(HolidayUpdateTest, SilentOrAbsentServerEndsWithinTheLimit) {
    server.answers["/2026.json"] = {200, {}, true};
    server.answers["/2027.json"] = {200, {}, true};
    QString report = Run(300);
    EXPECT_TRUE(report.startsWith(QStringLiteral("节假日安排没有更新"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("2026 年：10 秒内没有回应")))
        << report.toStdString();
    EXPECT_EQ(Stored(2026), "(none)");

    setenv("ZORVEL_HOLIDAY_URL", "http://127.0.0.1:1/{year}.json", 1);  // nobody listens
    report = Run();
    EXPECT_TRUE(report.contains(QStringLiteral("2027 年：无法取得"))) << report.toStdString();
}

class HolidaySettingsTest : public zorvel::test::AppTest {
protected:
    ~HolidaySettingsTest() override {
        unsetenv("ZORVEL_HOLIDAY_URL");
        zorvel::SetCurrentHolidaySchedule(zorvel::ShippedHolidaySchedule());
    }
    LocalServer server;
    const QByteArray test2011 = Year(2011, Day("2011-09-19", true, "测试"));
};

// The page's button fetches this year and next beside the database, says so and can be pressed
// again; the next start reads the files, and names one that is wrong.
TEST_F(HolidaySettingsTest, ButtonFetchesAndTheNextStartReadsTheFiles) {
    server.answers["/2011.json"] = {200, test2011};
    server.answers["/2012.json"] = {200, Year(2012, Day("2012-01-01"))};
    const std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/{year}.json";
    setenv("ZORVEL_HOLIDAY_URL", url.c_str(), 1);
    {
        CSoftSettingDlg page(CMainDlg::SettingsPageParts(context()));
        page.show();
        auto* button = page.findChild<QPushButton*>("updateHolidaysButton");
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QStringLiteral("更新节假日安排"));
        QString message;
        zorvel::test::CloseNextMessageBox(&message);
        button->click();
        EXPECT_FALSE(button->isEnabled());
        ASSERT_TRUE(zorvel::test::WaitUntil([&] { return !message.isEmpty(); }));
        EXPECT_EQ(message, QStringLiteral("已更新 2011、2012 年的节假日安排"));
        EXPECT_TRUE(button->isEnabled());
    }
    const std::string folder = zorvel::HolidayFolderFor(dbPath);
    {
        QFile wrong(QString::fromStdString(folder) + "2012.json");
        ASSERT_TRUE(wrong.open(QIODevice::WriteOnly));
        wrong.write(Year(2013, ""));
    }
    zorvel::SetCurrentHolidaySchedule(zorvel::ShippedHolidaySchedule());
    Restart();
    QString warning;
    zorvel::test::CloseNextMessageBox(&warning);
    context().Start();
    ASSERT_TRUE(zorvel::test::WaitUntil([&] { return !warning.isEmpty(); }));
    EXPECT_TRUE(warning.contains(QStringLiteral("2012.json: 年份不是 2012")))
        << warning.toStdString();
    EXPECT_EQ(zorvel::CurrentHolidaySchedule()->StatusOf(2011, 9, 19).holiday, "测试");
    // The wrong file's year keeps the shipped schedule (元旦 2012 was January 1 to 3).
    EXPECT_FALSE(zorvel::CurrentHolidaySchedule()->IsWorkday(2012, 1, 3));
}

}  // namespace
