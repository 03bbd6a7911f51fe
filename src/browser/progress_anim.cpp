#include "browser/progress_anim.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

CProgressAnim::CProgressAnim(QWidget* parent) : QWidget(parent) {
    setFixedSize(kSide, kSide);
    setAccessibleName(QStringLiteral("进度"));
    setAccessibleDescription(QStringLiteral("就绪"));
    timer_.setInterval(1000 / kFramesPerSecond);
    connect(&timer_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % kFrames;
        update();
    });
}

void CProgressAnim::Play() {
    if (timer_.isActive())
        return;
    frame_ = 0;
    setAccessibleDescription(QStringLiteral("正在加载"));
    timer_.start();
    update();
}

void CProgressAnim::Rest() {
    timer_.stop();
    frame_ = 0;
    setAccessibleDescription(QStringLiteral("就绪"));
    update();
}

void CProgressAnim::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(width() / 2.0, height() / 2.0);

    // The globe: a disc with an equator and a meridian.
    const qreal r = 7.5;
    QRadialGradient sea(c - QPointF(2.5, 2.5), r * 1.6);
    sea.setColorAt(0, QColor(0x9c, 0xd0, 0xff));
    sea.setColorAt(1, QColor(0x2b, 0x7b, 0xd6));
    p.setPen(QPen(QColor(0x1d, 0x5f, 0xb0), 1));
    p.setBrush(sea);
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 170), 0.9));
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    p.drawEllipse(c, r * 0.45, r);

    // The light: a head and a fading tail on an orbit around the globe, clockwise from the top.
    const qreal orbit = 11.5;
    const qreal step = 360.0 / kFrames;
    for (int i = 5; i >= 0; --i) {
        const qreal angle = qDegreesToRadians(frame_ * step - i * step * 0.6 - 90.0);
        const QPointF at(c.x() + orbit * qCos(angle), c.y() + orbit * qSin(angle));
        QColor dot(0xff, 0x9f, 0x1a);
        dot.setAlphaF(static_cast<float>(1.0 - i * 0.16));
        p.setPen(Qt::NoPen);
        p.setBrush(dot);
        const qreal size = 2.3 - i * 0.25;
        p.drawEllipse(at, size, size);
    }
}
