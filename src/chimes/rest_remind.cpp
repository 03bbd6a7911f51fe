#include "chimes/rest_remind.h"

#include <algorithm>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QSvgRenderer>
#include <QTextLayout>
#include <QTimer>

namespace {

const QSize kPictureSize(606, 257);
const QString kHeading = QStringLiteral("休息时间到了");
const QString kCardTitle = QStringLiteral("温馨提示：");
const QString kMessage = QStringLiteral(
    "你呆电脑前忙碌很久咯，久坐不动危害大，请注意休息休息，活动活动筋骨，身体是革命的本钱！");
const QString kHint = QStringLiteral("提示：关闭请按“ESC”键");

int g_openReminders = 0;

QFont PictureFont(int pixelSize, QFont::Weight weight) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

// Sets the message in the card's text box: justified the way Chinese body text is set, with
// a generous line height, the block centred in the box's height. Line breaking follows the
// Unicode rules, so no line starts with a comma or the closing exclamation mark.
void DrawMessage(QPainter& p, const QRectF& box) {
    QTextLayout layout(kMessage, PictureFont(16, QFont::Normal));
    QTextOption option(Qt::AlignJustify);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const qreal lineHeight = 30;
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(box.width());
        line.setPosition(QPointF(0, height + (lineHeight - line.height()) / 2));
        height += lineHeight;
    }
    layout.endLayout();
    p.setPen(QColor(0x3a, 0x44, 0x56));
    layout.draw(&p, QPointF(box.left(), box.top() + std::max(0.0, (box.height() - height) / 2)));
}

}  // namespace

QImage RenderRestRemindPicture(qreal devicePixelRatio) {
    QImage image(kPictureSize * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                     QPainter::SmoothPixmapTransform);
    QSvgRenderer art(QStringLiteral(":/remind/remind.svg"));
    art.render(&p, QRectF(QPointF(0, 0), kPictureSize));
    // Nothing of the artwork may show outside the rounded panel (the SVG renderer ignores
    // clip paths, and the watermark reaches over the edge).
    QPainterPath panel;
    panel.addRoundedRect(QRectF(1, 1, 604, 255), 18, 18);
    QPainterPath outside;
    outside.addRect(QRectF(QPointF(0, 0), kPictureSize));
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.fillPath(outside.subtracted(panel), Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    // Left column: product name under the clock icon, then the heading.
    p.setPen(QColor(255, 255, 255, 190));
    QFont name = PictureFont(15, QFont::DemiBold);
    name.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(name);
    p.drawText(QRectF(16, 94, 160, 22), Qt::AlignCenter, QStringLiteral("Zorvel"));
    p.setPen(Qt::white);
    p.setFont(PictureFont(25, QFont::Bold));
    p.drawText(QRectF(8, 130, 176, 38), Qt::AlignCenter, kHeading);

    // The card: title beside its blue mark, then the message.
    p.setPen(QColor(0x1d, 0x3f, 0x72));
    p.setFont(PictureFont(18, QFont::Bold));
    p.drawText(QRectF(228, 34, 340, 28), Qt::AlignLeft | Qt::AlignVCenter, kCardTitle);
    DrawMessage(p, QRectF(216, 64, 352, 100));

    // The bar's hint line beside the information icon.
    p.setPen(Qt::white);
    p.setFont(PictureFont(15, QFont::Medium));
    p.drawText(QRectF(242, 192, 330, 44), Qt::AlignLeft | Qt::AlignVCenter, kHint);
    return image;
}

CRemindBackgroundDlg::CRemindBackgroundDlg(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    ++g_openReminders;
    setObjectName(QStringLiteral("restRemindBackground"));
    setWindowTitle(kHeading);
    setAccessibleName(kHeading);
    setAccessibleDescription(kHint);
    setAttribute(Qt::WA_TranslucentBackground);
    // The whole primary screen, panels included.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    setWindowState(Qt::WindowFullScreen);
}

CRemindBackgroundDlg::~CRemindBackgroundDlg() {
    --g_openReminders;
}

void CRemindBackgroundDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    activateWindow();
    // The picture runs from the event loop, once this window is on screen.
    if (!pictureShown_) {
        pictureShown_ = true;
        QTimer::singleShot(0, this, &CRemindBackgroundDlg::RunPicture);
    }
}

void CRemindBackgroundDlg::RunPicture() {
    if (!isVisible())
        return;
    // Not modal: whatever else is on screen (a ringing alarm above all) still takes clicks.
    picture_ = new CShowRemindDlg(this, this);
    picture_->setAttribute(Qt::WA_DeleteOnClose);
    connect(picture_, &QDialog::finished, this, [this] {
        // Left on its own (Return on the picture), the dimmed screen takes the keys.
        if (isVisible())
            activateWindow();
    });
    picture_->show();
}

void CRemindBackgroundDlg::paintEvent(QPaintEvent*) {
    QColor dim = palette().color(QPalette::Window);
    dim.setAlpha(240);
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(rect(), dim);
}

void CRemindBackgroundDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            reject();
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            accept();
            break;
        default:
            event->ignore();
    }
}

CShowRemindDlg::CShowRemindDlg(CRemindBackgroundDlg* background, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      background_(background) {
    setObjectName(QStringLiteral("restRemindPicture"));
    setWindowTitle(kHeading);
    setAccessibleName(kHeading);
    setAccessibleDescription(kCardTitle + kMessage + QLatin1Char(' ') + kHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(kPictureSize);
    QRect over = background_ ? background_->geometry() : QRect();
    if (over.isEmpty()) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            over = screen->geometry();
    }
    move(over.center() - QPoint(kPictureSize.width() / 2, kPictureSize.height() / 2));
}

void CShowRemindDlg::showEvent(QShowEvent* event) {
    // Composed once, at the screen's pixel density, and never again.
    if (picture_.isNull())
        picture_ = RenderRestRemindPicture(devicePixelRatioF());
    QDialog::showEvent(event);
    activateWindow();
}

void CShowRemindDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(0, 0), picture_);
}

void CShowRemindDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            done(1);
            if (background_)
                background_->done(1);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            accept();
            break;
        default:
            event->ignore();
    }
}

CRemindBackgroundDlg* ShowRestRemind(std::function<void()> onClosed) {
    auto* background = new CRemindBackgroundDlg;
    QObject::connect(background, &QDialog::finished, background,
                     [background, onClosed = std::move(onClosed)] {
                         background->deleteLater();
                         if (onClosed)
                             onClosed();
                     });
    background->show();
    return background;
}

bool RestRemindOpen() {
    return g_openReminders > 0;
}
