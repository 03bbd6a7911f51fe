#include "tools/ripple_picture.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <utility>

namespace {
std::function<unsigned()> RealRandom(std::function<unsigned()> random) {
    if (random)
        return random;
    return [] { return QRandomGenerator::global()->generate(); };
}
}  // namespace

CRipplePicture::CRipplePicture(QWidget* parent, std::function<unsigned()> random)
    : QWidget(parent), drops_(RealRandom(std::move(random))) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CRipplePicture::~CRipplePicture() = default;

QSize CRipplePicture::sizeHint() const {
    return picture_.isNull() ? QSize(320, 200) : picture_.size() / picture_.devicePixelRatio();
}

void CRipplePicture::SetPicture(const QImage& picture) {
    picture_ = picture;
    Rebuild();
    update();
}

void CRipplePicture::Rebuild() {
    // The water lives at the screen's pixel size, so the picture stays sharp on dense screens.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (picture_.isNull() || pixels.isEmpty()) {
        field_.reset();
        return;
    }
    scaled_ = picture_.scaled(pixels, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation)
                  .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Centre the picture when its shape differs from the widget's.
    scaled_ =
        scaled_.copy((scaled_.width() - pixels.width()) / 2,
                     (scaled_.height() - pixels.height()) / 2, pixels.width(), pixels.height());
    frame_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    frame_.setDevicePixelRatio(ratio);
    field_ = std::make_unique<zorvel::CRippleField>(pixels.width(), pixels.height());
    field_->Render(reinterpret_cast<const std::uint32_t*>(scaled_.constBits()),
                   int(scaled_.bytesPerLine() / 4), reinterpret_cast<std::uint32_t*>(frame_.bits()),
                   int(frame_.bytesPerLine() / 4));
}

void CRipplePicture::Advance() {
    if (!field_)
        return;
    zorvel::CRippleDrops::Drop drop{};
    if (drops_.OnTick(field_->width(), field_->height(), drop))
        field_->Drop(drop.x, drop.y, drop.radius, drop.strength);
    field_->Step();
    field_->Render(reinterpret_cast<const std::uint32_t*>(scaled_.constBits()),
                   int(scaled_.bytesPerLine() / 4), reinterpret_cast<std::uint32_t*>(frame_.bits()),
                   int(frame_.bytesPerLine() / 4));
    update();
}

void CRipplePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (frame_.isNull())
        painter.fillRect(rect(), palette().window());
    else
        painter.drawImage(QPoint(0, 0), frame_);
}

void CRipplePicture::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Rebuild();
}

void CRipplePicture::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Minimising the window does not hide its children, so watch the window itself.
    if (window() != watchedWindow_) {
        if (watchedWindow_)
            watchedWindow_->removeEventFilter(this);
        watchedWindow_ = window();
        watchedWindow_->installEventFilter(this);
    }
    UpdateAnimation();
}

void CRipplePicture::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    UpdateAnimation();
}

bool CRipplePicture::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watchedWindow_ && event->type() == QEvent::WindowStateChange)
        UpdateAnimation();
    return QWidget::eventFilter(watched, event);
}

void CRipplePicture::UpdateAnimation() {
    const bool seen = isVisible() && !window()->isMinimized();
    if (seen && !timer_.isActive())
        timer_.start(kIntervalMs, this);
    else if (!seen)
        timer_.stop();
}

void CRipplePicture::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    Advance();
}

QPoint CRipplePicture::ToField(QPointF position) const {
    return (position * devicePixelRatioF()).toPoint();
}

void CRipplePicture::ApplyDrop(const zorvel::CRippleDrops::Drop& drop) {
    if (!field_)
        return;
    // Radii are in screen points; the field counts device pixels.
    const qreal ratio = devicePixelRatioF();
    field_->Drop(drop.x, drop.y, int(drop.radius * ratio), drop.strength);
}

void CRipplePicture::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = ToField(event->position());
    ApplyDrop(
        zorvel::CRippleDrops::OnMouseMove(p.x(), p.y(), event->buttons().testFlag(Qt::LeftButton)));
}

void CRipplePicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint p = ToField(event->position());
    ApplyDrop(zorvel::CRippleDrops::OnMousePress(p.x(), p.y()));
}
