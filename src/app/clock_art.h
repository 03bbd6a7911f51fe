#pragma once

#include <QImage>
#include <QRegion>
#include <QSize>
#include <QString>
#include <memory>

#include "app/core/clock_geometry.h"
#include "platform/core/clock.h"

class QPainter;
class QSvgRenderer;

namespace zorvel {

struct ClockTime {
    int hour = 0;  // 0–23
    int minute = 0;
    int second = 0;
};

// The local time of day of a clock.
ClockTime ClockTimeOf(const Clock& clock);

// The clock's six pictures, loaded once per window: the two face frames and the digit strip
// rendered to images at their stated pixel sizes, the three hands kept as vector drawings so
// that they stay sharp at any angle.
class CClockArt {
public:
    CClockArt();
    ~CClockArt();
    CClockArt(const CClockArt&) = delete;
    CClockArt& operator=(const CClockArt&) = delete;

    // Loads faceA.svg, faceB.svg, hour.svg, minute.svg, second.svg and digits.svg from
    // `directory` (":/clock" for the built-in art), rendered for a screen with the given device
    // pixel ratio. Returns false when a picture is missing or unreadable; what did load is
    // still drawn.
    bool Load(const QString& directory, qreal devicePixelRatio = 1.0);

    // The built-in artwork.
    static constexpr const char* kBuiltIn = ":/clock";

    QSize FaceSize() const { return faceSize_; }
    QSize HandSize(clock::Hand hand) const;
    QSize DigitStripSize() const { return digits_.deviceIndependentSize().toSize(); }
    qreal DevicePixelRatio() const { return dpr_; }

    // Draws the clock for `time` with the given face frame into a new transparent image of the
    // face size (at the art's device pixel ratio). Depends on nothing but its arguments.
    QImage Render(const ClockTime& time, clock::FaceFrame frame) const;

    // The same drawing onto a painter whose device has the face size at the art's ratio; every
    // pixel of the face rectangle is replaced, so nothing needs clearing first.
    void Paint(QPainter& painter, const ClockTime& time, clock::FaceFrame frame) const;

    // The pixels the clock can ever cover (any frame, any read-out); the rest of the window is
    // see-through and should let clicks pass to what lies below.
    QRegion CoveredRegion() const;

private:
    QImage faceA_, faceB_, digits_;
    std::unique_ptr<QSvgRenderer> hands_[3];
    QSize faceSize_, handSizes_[3];
    qreal dpr_ = 1.0;
};

}  // namespace zorvel
