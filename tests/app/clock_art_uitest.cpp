#include "app/clock_art.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace zorvel {
namespace {

using clock::FaceFrame;
using clock::Hand;

// Artwork made for the tests: solid shapes in known colours, so pixels tell where things went.
struct TestArt {
    QString hour = "none", minute = "none", second = "none";  // fill of each full-size hand
};

QByteArray Svg(int w, int h, const QString& body) {
    return QStringLiteral(
               "<svg xmlns='http://www.w3.org/2000/svg' width='%1' height='%2' "
               "viewBox='0 0 %1 %2'>%3</svg>")
        .arg(w)
        .arg(h)
        .arg(body)
        .toUtf8();
}

QByteArray HandSvg(int w, int h, const QString& fill) {
    return Svg(w, h,
               QStringLiteral("<rect width='%1' height='%2' fill='%3'/>").arg(w).arg(h).arg(fill));
}

// Glyph g of the test strip is filled with GlyphColour(g).
QColor GlyphColour(int g) {
    return QColor(20 * g + 10, 250 - 20 * g, 60);
}

class ClockArtTest : public ::testing::Test {
protected:
    void Write(const char* name, const QByteArray& data) {
        QFile f(dir_.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    // Loads art whose faces carry a red (A) or blue (B) square at 200..260 and whose hands are
    // solid rectangles of the given colours.
    void LoadTestArt(const TestArt& t, qreal dpr = 1.0) {
        ASSERT_TRUE(dir_.isValid());
        Write("faceA.svg",
              Svg(268, 268, "<rect x='200' y='200' width='60' height='60' fill='#ff0000'/>"));
        Write("faceB.svg",
              Svg(268, 268, "<rect x='200' y='200' width='60' height='60' fill='#0000ff'/>"));
        Write("hour.svg", HandSvg(16, 45, t.hour));
        Write("minute.svg", HandSvg(16, 60, t.minute));
        Write("second.svg", HandSvg(16, 65, t.second));
        QString cells;
        for (int g = 0; g <= clock::kColonGlyph; ++g) {
            cells += QStringLiteral("<rect x='%1' y='0' width='14' height='23' fill='%2'/>")
                         .arg(g * 14)
                         .arg(GlyphColour(g).name());
        }
        Write("digits.svg", Svg(154, 23, cells));
        ASSERT_TRUE(art_.Load(dir_.path(), dpr));
    }

    static bool Covered(const QImage& image, int x, int y) {
        return image.pixelColor(x, y).alpha() > 200;
    }
    static bool Clear(const QImage& image, int x, int y) {
        return image.pixelColor(x, y).alpha() == 0;
    }

    QTemporaryDir dir_;
    CClockArt art_;
};

TEST_F(ClockArtTest, HourHandUpAtMidnightRightAtThreeAndPastSixAtHalfPast) {
    LoadTestArt({.hour = "#00ff00"});
    const QImage midnight = art_.Render({0, 0, 0}, FaceFrame::kA);
    // 16 × 45 with its pivot (8, 7) on (140, 90): 38 pixels up, 7 down, 8 either side.
    EXPECT_TRUE(Covered(midnight, 140, 90 - 36));
    EXPECT_TRUE(Covered(midnight, 140, 90 + 5));
    EXPECT_TRUE(Covered(midnight, 140 - 6, 70));
    EXPECT_TRUE(Covered(midnight, 140 + 6, 70));
    EXPECT_TRUE(Clear(midnight, 140, 90 - 41));
    EXPECT_TRUE(Clear(midnight, 140, 90 + 10));
    EXPECT_TRUE(Clear(midnight, 140 + 11, 70));

    const QImage three = art_.Render({3, 0, 0}, FaceFrame::kA);
    EXPECT_TRUE(Covered(three, 140 + 36, 90));
    EXPECT_TRUE(Clear(three, 140 + 41, 90));
    EXPECT_TRUE(Clear(three, 140, 90 - 30));

    // 15 degrees past pointing down: below the centre and a little to the left.
    const QImage halfPastSix = art_.Render({6, 30, 0}, FaceFrame::kA);
    EXPECT_TRUE(Covered(halfPastSix, 132, 119));
    EXPECT_TRUE(Clear(halfPastSix, 148, 119));
    // 15 o'clock is 3 o'clock.
    const QImage fifteen = art_.Render({15, 0, 0}, FaceFrame::kA);
    EXPECT_TRUE(Covered(fifteen, 140 + 36, 90));
    EXPECT_TRUE(Clear(fifteen, 140, 90 - 30));
}

TEST_F(ClockArtTest, MinuteAndSecondHandsTurnOnTheirOwnPivots) {
    LoadTestArt({.minute = "#00ff00"});
    const QImage quarter = art_.Render({0, 15, 0}, FaceFrame::kA);
    // 16 × 60 with pivot (8, 10): 50 pixels out, 10 behind.
    EXPECT_TRUE(Covered(quarter, 140 + 48, 90));
    EXPECT_TRUE(Clear(quarter, 140 + 53, 90));
    EXPECT_TRUE(Covered(quarter, 140 - 8, 90));
    EXPECT_TRUE(Clear(quarter, 140 - 13, 90));

    LoadTestArt({.second = "#00ff00"});
    const QImage fortyFive = art_.Render({0, 0, 45}, FaceFrame::kA);
    // 16 × 65 with pivot (8, 9): 56 pixels out, 9 behind.
    EXPECT_TRUE(Covered(fortyFive, 140 - 54, 90));
    EXPECT_TRUE(Clear(fortyFive, 140 - 59, 90));
    EXPECT_TRUE(Covered(fortyFive, 140 + 7, 90));
    EXPECT_TRUE(Clear(fortyFive, 140 + 12, 90));
}

TEST_F(ClockArtTest, HandsAreDrawnHourMinuteSecondOverTheFace) {
    LoadTestArt({.hour = "#ff0000", .minute = "#00ff00", .second = "#0000ff"});
    const QImage image = art_.Render({0, 0, 0}, FaceFrame::kA);
    EXPECT_EQ(image.pixelColor(140, 70), QColor(0, 0, 255));  // all three overlap: second on top
    const QImage apart = art_.Render({3, 0, 30}, FaceFrame::kA);
    EXPECT_EQ(apart.pixelColor(170, 90), QColor(255, 0, 0));
    EXPECT_EQ(apart.pixelColor(140, 55), QColor(0, 255, 0));
    EXPECT_EQ(apart.pixelColor(140, 130), QColor(0, 0, 255));
}

TEST_F(ClockArtTest, ReadoutCopiesGlyphsUnscaledAtTwentyPixelSteps) {
    LoadTestArt({});
    const QImage image = art_.Render({13, 5, 9}, FaceFrame::kA);
    const int glyphs[] = {1, 3, clock::kColonGlyph, 0, 5, clock::kColonGlyph, 0, 9};
    for (int i = 0; i < 8; ++i) {
        const int x = i * 20;
        EXPECT_EQ(image.pixelColor(x + 1, 1), GlyphColour(glyphs[i])) << "glyph " << i;
        EXPECT_EQ(image.pixelColor(x + 12, 21), GlyphColour(glyphs[i])) << "glyph " << i;
        EXPECT_TRUE(Clear(image, x + 14, 10)) << "gap after glyph " << i;
        EXPECT_TRUE(Clear(image, x + 5, 23)) << "below glyph " << i;
    }
}

TEST_F(ClockArtTest, FaceFrameChoosesThePicture) {
    LoadTestArt({});
    EXPECT_EQ(art_.Render({0, 0, 0}, FaceFrame::kA).pixelColor(230, 230), QColor(255, 0, 0));
    EXPECT_EQ(art_.Render({0, 0, 0}, FaceFrame::kB).pixelColor(230, 230), QColor(0, 0, 255));
    EXPECT_TRUE(Clear(art_.Render({0, 0, 0}, FaceFrame::kB), 190, 230));
}

TEST_F(ClockArtTest, HighDensityScreensGetSharperPixelsInTheSamePlaces) {
    LoadTestArt({.hour = "#00ff00"}, 2.0);
    const QImage image = art_.Render({15, 0, 0}, FaceFrame::kB);
    EXPECT_EQ(image.size(), QSize(536, 536));
    EXPECT_EQ(image.deviceIndependentSize(), QSizeF(268, 268));
    EXPECT_TRUE(Covered(image, 2 * (140 + 36), 2 * 90));
    EXPECT_TRUE(Clear(image, 2 * (140 + 41), 2 * 90));
    EXPECT_EQ(image.pixelColor(3, 3), GlyphColour(1));             // "1" of 13:00:00
    EXPECT_EQ(image.pixelColor(2 * 20 + 26, 43), GlyphColour(5));  // "5", 28 × 46 pixels
    EXPECT_EQ(image.pixelColor(2 * 230, 2 * 230), QColor(0, 0, 255));
}

TEST_F(ClockArtTest, MissingPicturesAreReportedAndTheRestStillDraws) {
    LoadTestArt({.hour = "#00ff00"});
    QFile::remove(dir_.filePath("minute.svg"));
    Write("digits.svg", "not an svg");
    CClockArt art;
    EXPECT_FALSE(art.Load(dir_.path()));
    EXPECT_EQ(art.FaceSize(), QSize(268, 268));
    EXPECT_TRUE(art.HandSize(Hand::kMinute).isEmpty());
    const QImage image = art.Render({0, 0, 0}, FaceFrame::kA);
    EXPECT_TRUE(Covered(image, 140, 60));
    EXPECT_TRUE(Clear(image, 5, 5));

    CClockArt nothing;
    EXPECT_FALSE(nothing.Load(dir_.filePath("nowhere")));
    EXPECT_TRUE(nothing.Render({1, 2, 3}, FaceFrame::kA).isNull());
    EXPECT_TRUE(nothing.CoveredRegion().isEmpty());
}

TEST(BuiltInArt, HasTheStatedSizesAndIsSeeThroughAroundTheClock) {
    CClockArt art;
    ASSERT_TRUE(art.Load(QString::fromLatin1(CClockArt::kBuiltIn)));
    EXPECT_EQ(art.FaceSize(), QSize(268, 268));
    EXPECT_EQ(art.HandSize(Hand::kHour), QSize(16, 45));
    EXPECT_EQ(art.HandSize(Hand::kMinute), QSize(16, 60));
    EXPECT_EQ(art.HandSize(Hand::kSecond), QSize(16, 65));
    EXPECT_EQ(art.DigitStripSize(), QSize(154, 23));

    const QImage a = art.Render({10, 8, 30}, FaceFrame::kA);
    const QImage b = art.Render({10, 8, 30}, FaceFrame::kB);
    for (QPoint p : {QPoint(0, 267), QPoint(267, 267), QPoint(267, 0), QPoint(10, 120)})
        EXPECT_EQ(a.pixelColor(p).alpha(), 0) << p.x() << "," << p.y();
    EXPECT_EQ(a.pixelColor(140, 90).alpha(), 255);
    EXPECT_EQ(a.pixelColor(7, 11).alpha(), 255);  // a read-out tile

    // The two frames differ, but only a little: the face seems to move, not to flash.
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    EXPECT_GT(differing, 10);
    EXPECT_LT(differing, 268 * 268 / 100);

    const QRegion covered = art.CoveredRegion();
    EXPECT_TRUE(covered.contains(QPoint(140, 90)));
    EXPECT_TRUE(covered.contains(QPoint(147, 11)));  // the colon
    EXPECT_TRUE(covered.contains(QPoint(140, 30)));  // the top of the dial
    EXPECT_FALSE(covered.contains(QPoint(17, 11)));  // the gap between two tiles
    EXPECT_FALSE(covered.contains(QPoint(260, 260)));
    EXPECT_FALSE(covered.contains(QPoint(10, 120)));
}

}  // namespace
}  // namespace zorvel
