#include "app/clock_art.h"

#include <QPainter>
#include <QSvgRenderer>
#include <ctime>

#include "platform/core/clock.h"

namespace zorvel {

using clock::FaceFrame;
using clock::Hand;

namespace {

int Index(Hand hand) {
    return static_cast<int>(hand);
}

// A picture's size in pixels is the width and height its SVG states.
QImage RenderImage(QSvgRenderer& svg, qreal dpr) {
    const QSize size = svg.defaultSize();
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter, QRectF(QPointF(0, 0), size));
    return image;
}

// Alpha below this is invisible on any background; such pixels take no clicks.
constexpr int kVisibleAlpha = 8;

}  // namespace

ClockTime ClockTimeOf(const Clock& clock) {
    const std::time_t now = clock.NowTimeT();
    std::tm local{};
    localtime_r(&now, &local);
    return ClockTime{local.tm_hour, local.tm_min, local.tm_sec};
}

CClockArt::CClockArt() = default;
CClockArt::~CClockArt() = default;

bool CClockArt::Load(const QString& directory, qreal devicePixelRatio) {
    dpr_ = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    bool ok = true;
    auto loadImage = [&](const char* name, QImage& image) {
        QSvgRenderer svg(directory + QLatin1Char('/') + QLatin1String(name));
        if (!svg.isValid()) {
            ok = false;
            image = QImage();
            return;
        }
        image = RenderImage(svg, dpr_);
    };
    loadImage("faceA.svg", faceA_);
    loadImage("faceB.svg", faceB_);
    loadImage("digits.svg", digits_);
    faceSize_ = faceA_.isNull() ? QSize() : faceA_.deviceIndependentSize().toSize();

    const char* handFiles[] = {"hour.svg", "minute.svg", "second.svg"};
    for (int i = 0; i < 3; ++i) {
        hands_[i] = std::make_unique<QSvgRenderer>(directory + QLatin1Char('/') +
                                                   QLatin1String(handFiles[i]));
        if (hands_[i]->isValid()) {
            handSizes_[i] = hands_[i]->defaultSize();
        } else {
            ok = false;
            hands_[i].reset();
            handSizes_[i] = QSize();
        }
    }
    return ok;
}

QSize CClockArt::HandSize(Hand hand) const {
    return handSizes_[Index(hand)];
}

QImage CClockArt::Render(const ClockTime& time, FaceFrame frame) const {
    if (faceSize_.isEmpty())
        return QImage();
    QImage image(faceSize_ * dpr_, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr_);
    QPainter painter(&image);
    Paint(painter, time, frame);
    return image;
}

void CClockArt::Paint(QPainter& painter, const ClockTime& time, FaceFrame frame) const {
    if (faceSize_.isEmpty())
        return;
    painter.save();
    // The face is the bottom layer and fills the whole rectangle, so it is copied rather than
    // blended: the same pixels as drawing it on transparency, at a small part of the cost.
    const QRectF whole(QPointF(0, 0), faceSize_);
    const QImage& face = frame == FaceFrame::kA ? faceA_ : faceB_;
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (face.isNull())
        painter.fillRect(whole, Qt::transparent);
    else
        painter.drawImage(whole, face);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QTransform base = painter.worldTransform();

    const clock::HandAngles angles = clock::AnglesAt(time.hour, time.minute, time.second);
    const struct {
        Hand hand;
        float angle;
    } hands[] = {
        {Hand::kHour, angles.hour}, {Hand::kMinute, angles.minute}, {Hand::kSecond, angles.second}};
    for (const auto& [hand, angle] : hands) {
        QSvgRenderer* svg = hands_[Index(hand)].get();
        if (!svg)
            continue;
        const QSize size = handSizes_[Index(hand)];
        const clock::PixelPoint pivot = clock::HandPivot(hand, size.width(), size.height());
        QTransform transform;
        transform.translate(clock::kDialCentreX, clock::kDialCentreY);
        transform.rotate(angle);
        transform.translate(-pivot.x, -pivot.y);
        painter.setWorldTransform(transform * base);
        svg->render(&painter, QRectF(QPointF(0, 0), size));
    }
    painter.setWorldTransform(base);

    if (!digits_.isNull()) {
        const auto sources = clock::ReadoutSources(time.hour, time.minute, time.second);
        for (int i = 0; i < clock::kReadoutGlyphs; ++i) {
            const clock::GlyphRect& g = sources[i];
            const QRectF target(i * clock::kReadoutPitch, 0, g.width, g.height);
            const QRectF source(g.x * dpr_, g.y * dpr_, g.width * dpr_, g.height * dpr_);
            painter.drawImage(target, digits_, source);
        }
    }
    painter.restore();
}

QRegion CClockArt::CoveredRegion() const {
    if (faceSize_.isEmpty())
        return {};
    QImage all(faceSize_, QImage::Format_ARGB32_Premultiplied);
    all.fill(Qt::transparent);
    {
        QPainter painter(&all);
        const QRectF whole(QPointF(0, 0), faceSize_);
        if (!faceA_.isNull())
            painter.drawImage(whole, faceA_);
        if (!faceB_.isNull())
            painter.drawImage(whole, faceB_);
        if (!digits_.isNull()) {
            for (int i = 0; i < clock::kReadoutGlyphs; ++i) {
                for (int glyph = 0; glyph <= clock::kColonGlyph; ++glyph) {
                    const clock::GlyphRect g = clock::GlyphSource(glyph);
                    painter.drawImage(
                        QRectF(i * clock::kReadoutPitch, 0, g.width, g.height), digits_,
                        QRectF(g.x * dpr_, g.y * dpr_, g.width * dpr_, g.height * dpr_));
                }
            }
        }
    }
    QRegion region;
    for (int y = 0; y < all.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(all.constScanLine(y));
        for (int x = 0; x < all.width();) {
            if (qAlpha(row[x]) < kVisibleAlpha) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < all.width() && qAlpha(row[x]) >= kVisibleAlpha)
                ++x;
            region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

}  // namespace zorvel
