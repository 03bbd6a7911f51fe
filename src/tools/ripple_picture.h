#pragma once

#include <QBasicTimer>
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

#include "tools/core/ripple.h"

// A picture under water: drops fall on it now and then, and where the mouse moves or clicks.
// It animates only while someone can see it: hidden or in a minimised window, it stops.
class CRipplePicture : public QWidget {
    Q_OBJECT
public:
    // `random` decides where and when drops fall; the default is a real generator.
    explicit CRipplePicture(QWidget* parent = nullptr, std::function<unsigned()> random = {});
    ~CRipplePicture() override;

    // The picture, drawn at the widget's size (and the screen's pixel density).
    void SetPicture(const QImage& picture);

    bool IsAnimating() const { return timer_.isActive(); }
    const zorvel::CRippleField* Field() const { return field_.get(); }
    // One animation step, as the timer does every 40 ms.
    void Advance();

    static constexpr int kIntervalMs = 40;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Rebuild();
    void UpdateAnimation();
    void ApplyDrop(const zorvel::CRippleDrops::Drop& drop);
    QPoint ToField(QPointF position) const;

    QImage picture_;
    QImage scaled_;
    QImage frame_;
    std::unique_ptr<zorvel::CRippleField> field_;
    zorvel::CRippleDrops drops_;
    QBasicTimer timer_;
    QWidget* watchedWindow_ = nullptr;
};
