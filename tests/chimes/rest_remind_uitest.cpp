#include "chimes/rest_remind.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

QDialog* OpenWindow(const char* objectName) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(objectName) && w->isVisible())
            return qobject_cast<QDialog*>(w);
    }
    return nullptr;
}

QDialog* Picture() {
    return OpenWindow("restRemindPicture");
}
QDialog* Background() {
    return OpenWindow("restRemindBackground");
}

// Runs ShowRestRemind and calls `step` every few milliseconds until it reports that it was
// closed, so the test acts as a user would. A reminder still open after five seconds is
// closed, so a failing test cannot hang the suite.
void WhileReminderOpen(const std::function<void()>& step) {
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, step);
    poll.start();
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        ADD_FAILURE() << "the reminder did not close";
        if (QDialog* p = Picture())
            p->done(0);
        if (QDialog* b = Background())
            b->done(0);
    });
    guard.start(5000);
    QEventLoop closed;
    QPointer<CRemindBackgroundDlg> shown = ShowRestRemind([&] { closed.quit(); });
    EXPECT_TRUE(shown);  // returned at once
    closed.exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(RestRemind, EscOnThePictureClosesBothAndTheCallReturns) {
    // An unrelated timer of the program keeps firing while the reminder is open.
    int programTicks = 0;
    QTimer programTimer;
    QObject::connect(&programTimer, &QTimer::timeout, [&] { ++programTicks; });
    programTimer.start(2);

    bool checked = false;
    WhileReminderOpen([&] {
        QDialog* picture = Picture();
        if (!picture || programTicks < 5 || checked)
            return;
        checked = true;
        QDialog* background = Background();
        ASSERT_TRUE(background);
        EXPECT_TRUE(RestRemindOpen());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        EXPECT_EQ(background->geometry(), screen);
        EXPECT_EQ(picture->size(), QSize(606, 257));
        EXPECT_LE((picture->geometry().center() - screen.center()).manhattanLength(), 1);
        // No taskbar button for either.
        EXPECT_EQ(background->windowType(), Qt::Tool);
        EXPECT_EQ(picture->windowType(), Qt::Tool);
        QTest::keyClick(picture, Qt::Key_Escape);
    });
    EXPECT_TRUE(checked);
    EXPECT_FALSE(RestRemindOpen());
    EXPECT_FALSE(Background());
    EXPECT_FALSE(Picture());
    const int ticksAfter = programTicks;
    QTest::qWait(20);
    EXPECT_GT(programTicks, ticksAfter);
}

// Return on the picture leaves the dimmed screen, which the second key then closes.
class RestRemindReturn : public ::testing::TestWithParam<Qt::Key> {};

TEST_P(RestRemindReturn, ThenTheDimmedScreenClosesOnTheSecondKey) {
    enum { kPicture, kDimmedOnly, kDone } stage = kPicture;
    WhileReminderOpen([&] {
        if (stage == kPicture && Picture()) {
            QTest::keyClick(Picture(), Qt::Key_Return);
            stage = kDimmedOnly;
        } else if (stage == kDimmedOnly) {
            EXPECT_FALSE(Picture());
            ASSERT_TRUE(Background());
            EXPECT_TRUE(Background()->isVisible());
            QTest::keyClick(Background(), GetParam());
            stage = kDone;
        }
    });
    EXPECT_EQ(stage, kDone);
    EXPECT_FALSE(Background());
}

INSTANTIATE_TEST_SUITE_P(SecondKey, RestRemindReturn,
                         ::testing::Values(Qt::Key_Escape, Qt::Key_Return));

TEST(RestRemind, ClicksAndOtherKeysDoNothing) {
    int ticks = 0;
    WhileReminderOpen([&] {
        QDialog* picture = Picture();
        QDialog* background = Background();
        if (!picture)
            return;
        ++ticks;
        if (ticks == 1) {
            QTest::mouseClick(picture, Qt::LeftButton, {}, picture->rect().center());
            QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(3, 3));
            QTest::mouseClick(background, Qt::LeftButton, {}, QPoint(5, 5));
            QTest::keyClick(picture, Qt::Key_Space);
            QTest::keyClick(picture, Qt::Key_A);
        } else if (ticks == 5) {
            EXPECT_TRUE(background->isVisible());
            QTest::keyClick(picture, Qt::Key_Escape);
        }
    });
    EXPECT_GE(ticks, 5);
}

TEST(RestRemind, BackgroundIsTheWindowColourAlmostOpaque) {
    CRemindBackgroundDlg background;
    background.resize(40, 30);
    QImage shot = background.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    QColor expected = background.palette().color(QPalette::Window);
    QColor seen = shot.pixelColor(10, 10);
    EXPECT_EQ(seen.alpha(), 240);
    EXPECT_NEAR(seen.red(), expected.red(), 2);
    EXPECT_NEAR(seen.green(), expected.green(), 2);
    EXPECT_NEAR(seen.blue(), expected.blue(), 2);
}

TEST(RestRemind, PictureIsTransparentOutsideItsRoundedPanel) {
    for (qreal ratio : {1.0, 2.0}) {
        QImage picture = RenderRestRemindPicture(ratio);
        ASSERT_EQ(picture.size(), QSize(606, 257) * ratio);
        auto alpha = [&](int x, int y) { return qAlpha(picture.pixel(QPoint(x, y) * ratio)); };
        // Rounded corners.
        EXPECT_EQ(alpha(0, 0), 0);
        EXPECT_EQ(alpha(605, 0), 0);
        EXPECT_EQ(alpha(0, 256), 0);
        EXPECT_EQ(alpha(605, 256), 0);
        // The panel, the card and the bar are solid.
        EXPECT_EQ(alpha(20, 128), 255);
        EXPECT_EQ(alpha(300, 30), 255);
        EXPECT_EQ(alpha(580, 214), 255);
    }
}

}  // namespace
