// The artwork of the windows people see all day, on the screen's pixel density. The suite runs
// these once more with QT_SCALE_FACTOR=2 (see tests/CMakeLists.txt), where a picture rasterised
// at 1x and scaled up would show as blur.
#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include "app/zorvel_dlg.h"
#include "chimes/rest_remind.h"
#include "notes/note_background_dlg.h"
#include "notes/shown_notes.h"
#include "support/test_app.h"

namespace {

using namespace zorvel;

qreal ScreenRatio() {
    const qreal ratio = qApp->devicePixelRatio();
    if (qgetenv("QT_SCALE_FACTOR") == "2") {
        EXPECT_EQ(ratio, 2.0);
    }
    return ratio;
}

QImage Pixels(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

class HiDpi : public test::AppTest {};

TEST_F(HiDpi, ClockAndNotesAreRasterisedAtTheScreensDensity) {
    const qreal ratio = ScreenRatio();
    CZorvelDlg clockDlg(context());
    clockDlg.show();
    clockDlg.Draw(100);
    ASSERT_EQ(clockDlg.devicePixelRatioF(), ratio);
    EXPECT_EQ(clockDlg.Frame().devicePixelRatio(), ratio);
    EXPECT_EQ(clockDlg.Frame().size(), clockDlg.size() * ratio);

    std::u16string id;
    manager().AddNote(id, u"买菜", 1, u"2011-09-01 08:00:00", true);
    app->Start();
    CNoteBackgroundDlg* note = context().shownNotes().Find(QString::fromStdU16String(id));
    ASSERT_TRUE(note);
    const QImage& picture = CNoteBackgroundDlg::Picture(note->devicePixelRatioF());
    EXPECT_EQ(picture.devicePixelRatio(), ratio);
    EXPECT_EQ(picture.size(), note->size() * ratio);
    // What the window shows above its text is that picture, pixel for pixel.
    const int band = qRound(20 * ratio);
    EXPECT_EQ(Pixels(note->grab().toImage()).copy(0, 0, picture.width(), band),
              Pixels(picture).copy(0, 0, picture.width(), band));
}

TEST(HiDpiRestRemind, PictureWindowShowsTheArtworkAtTheScreensDensity) {
    const qreal ratio = ScreenRatio();
    CShowRemindDlg window(nullptr);
    window.show();
    const QImage shown = window.grab().toImage();
    EXPECT_EQ(shown.size(), QSize(606, 257) * ratio);
    EXPECT_EQ(Pixels(shown), Pixels(RenderRestRemindPicture(ratio)));
}

TEST(HiDpiIcons, ProgramIconHasAPictureForEveryDensity) {
    const qreal ratio = ScreenRatio();
    for (int size : {16, 32, 64, 128}) {
        const QPixmap pixmap = ZorvelIcon().pixmap(QSize(size, size), ratio);
        EXPECT_EQ(pixmap.size(), QSize(size, size) * ratio) << size;
        EXPECT_EQ(pixmap.devicePixelRatio(), ratio) << size;
    }
    // The row pictures of the lists are drawings, rendered at whatever size is asked.
    const QPixmap row = QIcon(QStringLiteral(":/alarms/active.svg")).pixmap(QSize(32, 32), ratio);
    EXPECT_EQ(row.size(), QSize(32, 32) * ratio);
}

}  // namespace
