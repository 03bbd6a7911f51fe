#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <csignal>
#include <fstream>

#include "browser/browser_control_dlg.h"
#include "browser/browser_window_list.h"
#include "browser/typed_address.h"
#include "support/ui_helpers.h"

using zorvel::test::ProcessEvents;
using zorvel::test::WaitUntil;

namespace {

constexpr int kPageTimeoutMs = 20000;

// Answers GET requests on 127.0.0.1 with a few fixed pages.
class PageServer : public QTcpServer {
public:
    PageServer() {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [socket] { Answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        EXPECT_TRUE(listen(QHostAddress::LocalHost));
    }

    QUrl Url(const QString& path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path));
    }

private:
    static QByteArray Page(const QByteArray& path) {
        // Links are big blocks at known places, so the mouse finds them.
        const QByteArray links =
            "<a id='two' href='/two' style='display:block;width:400px;height:100px'>two</a>"
            "<a id='three' href='/three' target='_blank'"
            " style='display:block;width:400px;height:100px'>three</a>";
        if (path == "/one" || path == "/two" || path == "/three")
            return "<!DOCTYPE html><html><head><title>" + path.mid(1) +
                   "</title></head><body style='margin:0'>" + links + "</body></html>";
        return {};
    }

    static void Answer(QTcpSocket* socket) {
        QByteArray request = socket->property("request").toByteArray() + socket->readAll();
        socket->setProperty("request", request);
        if (!request.contains("\r\n\r\n"))
            return;
        const QByteArray path = request.split(' ').value(1);
        if (path == "/slow") {
            QTimer::singleShot(1500, socket, [socket] { Reply(socket, "/one"); });
            return;
        }
        Reply(socket, path);
    }

    static void Reply(QTcpSocket* socket, const QByteArray& path) {
        const QByteArray body = Page(path);
        const QByteArray status = body.isEmpty() ? "404 Not Found" : "200 OK";
        socket->write("HTTP/1.1 " + status +
                      "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }
};

template <typename T>
T* Child(QWidget* window, const char* name) {
    T* child = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

QWebEngineView* View(QWidget* window) {
    return Child<QWebEngineView>(window, "browserView");
}

// Loaded: the address field shows the page's address, and the status bar the end of loading.
bool ShowsPage(QWidget* window, const QUrl& url) {
    return View(window)->url() == url &&
           Child<QLineEdit>(window, "addressEdit")->text() == url.toString() &&
           Child<QLabel>(window, "statusLabel")->text() == QStringLiteral("完成") &&
           !Child<QWidget>(window, "progressAnim")->property("running").toBool();
}

// The page's own widget, which takes the mouse.
QWidget* PageSurface(QWidget* window) {
    QWidget* surface = View(window)->focusProxy();
    EXPECT_NE(surface, nullptr);
    return surface;
}

bool ProcessGone(qint64 pid) {
    if (::kill(static_cast<pid_t>(pid), 0) != 0)
        return true;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidText, name, state;
    stat >> pidText >> name >> state;
    return state == "Z" || state == "X";
}

class BrowserTest : public ::testing::Test {
protected:
    PageServer server;
    zorvel::test::ModalWatchdog watchdog;
};

TEST_F(BrowserTest, NavigatesGoesBackAndForwardAndShowsHoveredLinks) {
    CBrowserWindowList windows;
    QWidget* window = windows.Open(server.Url("/one"));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("浏览器"));
    const QPoint centre = window->screen()->availableGeometry().center();
    EXPECT_LE((window->geometry().center() - centre).manhattanLength(), 2);
    auto* address = Child<QLineEdit>(window, "addressEdit");
    auto* status = Child<QLabel>(window, "statusLabel");
    ASSERT_TRUE(WaitUntil([&] { return ShowsPage(window, server.Url("/one")); }, kPageTimeoutMs));
    EXPECT_EQ(status->text(), QStringLiteral("完成"));
    EXPECT_EQ(Child<QWidget>(window, "progressAnim")->property("frame").toInt(), 0);
    EXPECT_FALSE(Child<QToolButton>(window, "backButton")->isEnabled());

    // The link under the mouse is named in the status bar, and leaving it brings back the state.
    const QString before = status->text();
    QWidget* surface = PageSurface(window);
    EXPECT_TRUE(WaitUntil(
        [&] {
            QTest::mouseMove(surface, QPoint(60, 40));
            return status->text() == server.Url("/two").toString();
        },
        kPageTimeoutMs));
    EXPECT_TRUE(WaitUntil(
        [&] {
            QTest::mouseMove(surface, QPoint(600, 400));
            return status->text() == before;
        },
        kPageTimeoutMs));

    // A typed address and Enter.
    address->setFocus();
    address->setText(server.Url("/two").toString());
    QTest::keyClick(address, Qt::Key_Return);
    ASSERT_TRUE(WaitUntil([&] { return ShowsPage(window, server.Url("/two")); }, kPageTimeoutMs));

    Child<QToolButton>(window, "backButton")->click();
    ASSERT_TRUE(WaitUntil([&] { return ShowsPage(window, server.Url("/one")); }, kPageTimeoutMs));
    EXPECT_TRUE(Child<QToolButton>(window, "forwardButton")->isEnabled());
    Child<QToolButton>(window, "forwardButton")->click();
    ASSERT_TRUE(WaitUntil([&] { return ShowsPage(window, server.Url("/two")); }, kPageTimeoutMs));
}

TEST_F(BrowserTest, AnAddressBeingTypedOutlivesTheEndOfALoad) {
    CBrowserWindowList windows;
    QWidget* window = windows.Open(server.Url("/slow"));
    ASSERT_NE(window, nullptr);
    auto* address = Child<QLineEdit>(window, "addressEdit");
    address->setFocus();
    address->selectAll();
    QTest::keyClicks(address, "127.0.0.1");
    ASSERT_TRUE(WaitUntil(
        [&] { return Child<QLabel>(window, "statusLabel")->text() == QStringLiteral("完成"); },
        kPageTimeoutMs));
    EXPECT_EQ(address->text(), QStringLiteral("127.0.0.1"));

    // Once the typed address is followed, the field shows pages again.
    address->setText(server.Url("/two").toString());
    QTest::keyClick(address, Qt::Key_Return);
    ASSERT_TRUE(WaitUntil([&] { return ShowsPage(window, server.Url("/two")); }, kPageTimeoutMs));

    // A button press gives up what was typed and not sent.
    QTest::keyClicks(address, "x");
    Child<QToolButton>(window, "backButton")->click();
    ASSERT_TRUE(WaitUntil([&] { return ShowsPage(window, server.Url("/slow")); }, kPageTimeoutMs));

    // The whole address selected as the load ends stays selected: what is typed next replaces
    // it instead of mixing with the page's address.
    address->setFocus();
    QTest::keyClick(address, Qt::Key_Return);
    address->selectAll();
    ASSERT_TRUE(WaitUntil([&] { return ShowsPage(window, server.Url("/slow")); }, kPageTimeoutMs));
    QTest::keyClicks(address, "127.0.0.1");
    EXPECT_EQ(address->text(), QStringLiteral("127.0.0.1"));
}

TEST_F(BrowserTest, ListsWindowsInOpeningOrderWithThoseThePageOpens) {
    CBrowserWindowList windows;
    QSignalSpy changed(&windows, &CBrowserWindowList::WindowsChanged);
    QWidget* first = windows.Open(server.Url("/one"));
    QWidget* second = windows.Open(server.Url("/one"));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(windows.Windows(), (QList<QWidget*>{first, second}));
    EXPECT_EQ(windows.Numbers(), (std::vector<std::uint64_t>{1, 2}));
    EXPECT_EQ(changed.count(), 2);
    ASSERT_TRUE(WaitUntil([&] { return ShowsPage(second, server.Url("/one")); }, kPageTimeoutMs));

    // A link with target=_blank opens in a new window of ours. The page takes clicks once it
    // names the link under the mouse.
    QWidget* surface = PageSurface(second);
    auto* status = Child<QLabel>(second, "statusLabel");
    ASSERT_TRUE(WaitUntil(
        [&] {
            QTest::mouseMove(surface, QPoint(60, 140));
            return status->text() == server.Url("/three").toString();
        },
        kPageTimeoutMs));
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(60, 140));
    ASSERT_TRUE(WaitUntil([&] { return windows.Windows().size() == 3; }, kPageTimeoutMs));
    QWidget* opened = windows.Windows().last();
    EXPECT_TRUE(opened->isVisible());
    EXPECT_TRUE(WaitUntil([&] { return ShowsPage(opened, server.Url("/three")); }, kPageTimeoutMs));
    EXPECT_EQ(windows.Windows().mid(0, 2), (QList<QWidget*>{first, second}));
    EXPECT_EQ(windows.NumberOf(opened), 3u);
}

TEST_F(BrowserTest, ClosingAWindowEndsItsPageAndDropsItFromTheList) {
    QPointer<QWidget> kept;
    {
        CBrowserWindowList windows;
        QPointer<QWidget> closed = windows.Open(server.Url("/one"));
        ASSERT_TRUE(closed);
        ASSERT_TRUE(
            WaitUntil([&] { return ShowsPage(closed, server.Url("/one")); }, kPageTimeoutMs));
        qint64 renderer = 0;
        ASSERT_TRUE(
            WaitUntil([&] { return (renderer = View(closed)->page()->renderProcessPid()) > 0; }));
        QSignalSpy changed(&windows, &CBrowserWindowList::WindowsChanged);

        // Esc, with the focus in the page.
        PageSurface(closed)->setFocus();
        QTest::keyClick(PageSurface(closed), Qt::Key_Escape);
        EXPECT_TRUE(WaitUntil([&] { return closed.isNull(); }));
        EXPECT_TRUE(windows.Windows().isEmpty());
        EXPECT_EQ(changed.count(), 1);
        EXPECT_TRUE(WaitUntil([&] { return ProcessGone(renderer); }, kPageTimeoutMs))
            << "renderer " << renderer << " still runs";

        // The close box does the same.
        kept = windows.Open(server.Url("/two"));
        QPointer<QWidget> other = windows.Open(server.Url("/two"));
        other->close();
        EXPECT_TRUE(WaitUntil([&] { return other.isNull(); }));
        EXPECT_EQ(windows.Windows(), QList<QWidget*>{kept.data()});
    }
    // Those still open go with the list.
    EXPECT_TRUE(kept.isNull());
}

TEST_F(BrowserTest, KeepsItsMarginsAndMinimumSizeAndNamesEveryControl) {
    CBrowserWindowList windows;
    QWidget* window = windows.Open(server.Url("/one"));
    ASSERT_NE(window, nullptr);
    auto* frame = Child<QWidget>(window, "browserFrame");
    auto* statusBar = Child<QStatusBar>(window, "statusBar");
    const auto margins = [&] {
        const QRect r(frame->mapTo(window, QPoint()), frame->size());
        return QMargins(r.left(), r.top(), window->width() - r.right() - 1,
                        window->height() - r.bottom() - 1);
    };
    ProcessEvents();
    const QMargins first = margins();
    for (const QSize size : {QSize(1200, 900), QSize(703, 438), QSize(900, 600)}) {
        window->resize(size);
        ASSERT_TRUE(WaitUntil([&] { return window->size() == size; })) << size.width();
        ProcessEvents();
        EXPECT_EQ(margins(), first) << size.width() << "x" << size.height();
        EXPECT_GE(statusBar->height(), 30);
        EXPECT_EQ(statusBar->geometry().bottom(), window->height() - 1);
        EXPECT_EQ(statusBar->width(), window->width());
    }
    window->resize(300, 200);
    ProcessEvents();
    EXPECT_GE(window->width(), 703);
    EXPECT_GE(window->height(), 438);
    EXPECT_EQ(Child<QWidget>(window, "progressAnim")->width(), 28);

    // Every control can be found by its text or accessible name; the six buttons say what
    // they do.
    QStringList names;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLineEdit*>(w) &&
            !qobject_cast<QWebEngineView*>(w) && w->objectName() != "progressAnim")
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr);
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << w->objectName().toStdString();
        if (qobject_cast<QToolButton*>(w)) {
            names << a->text(QAccessible::Name);
            EXPECT_EQ(w->toolTip(), a->text(QAccessible::Name));
        }
    }
    EXPECT_EQ(names, (QStringList{"后退", "前进", "停止", "刷新", "主页", "搜索"}));
}

TEST(TypedAddress, AsksForHttpsUnlessTheSchemeIsTyped) {
    using zorvel::browser::TypedAddress;
    EXPECT_EQ(TypedAddress("example.org"), QUrl("https://example.org"));
    EXPECT_EQ(TypedAddress("  www.example.org/a?b=1 "), QUrl("https://www.example.org/a?b=1"));
    EXPECT_EQ(TypedAddress("http://example.org/"), QUrl("http://example.org/"));
    EXPECT_EQ(TypedAddress("HTTP://example.org/"), QUrl("http://example.org/"));
    EXPECT_EQ(TypedAddress("https://example.org/"), QUrl("https://example.org/"));
    EXPECT_EQ(TypedAddress("/tmp/page.html"), QUrl::fromLocalFile("/tmp/page.html"));
    EXPECT_FALSE(TypedAddress("   ").isValid());
}

}  // namespace
