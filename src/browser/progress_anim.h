#pragma once

#include <QTimer>
#include <QWidget>

// The busy picture of the browser's status bar: a small globe with a light circling it while a
// page loads, resting on its first frame otherwise.
class CProgressAnim : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool running READ IsRunning)
    Q_PROPERTY(int frame READ Frame)
public:
    static constexpr int kFrames = 24;
    static constexpr int kFramesPerSecond = 15;
    static constexpr int kSide = 28;

    explicit CProgressAnim(QWidget* parent = nullptr);

    void Play();
    // Stops and returns to the first frame.
    void Rest();
    bool IsRunning() const { return timer_.isActive(); }
    int Frame() const { return frame_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer timer_;
    int frame_ = 0;
};
