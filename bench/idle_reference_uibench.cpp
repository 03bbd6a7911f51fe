// The yardstick for bench/idle.sh: the least a Qt program can do to show a 268 × 268
// translucent picture redrawn every 500 ms. Zorvel's clock is compared with it.
#include <QApplication>
#include <QPainter>
#include <QTime>
#include <QTimer>
#include <QWidget>

namespace {
class ReferenceWindow : public QWidget {
public:
    ReferenceWindow()
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint),
          image_(268, 268, QImage::Format_ARGB32_Premultiplied) {
        setWindowTitle(QStringLiteral("idle-reference"));
        setAttribute(Qt::WA_TranslucentBackground);
        setFixedSize(268, 268);
        connect(&timer_, &QTimer::timeout, this, &ReferenceWindow::Redraw);
        timer_.start(500);
        Redraw();
    }

private:
    void Redraw() {
        image_.fill(Qt::transparent);
        QPainter painter(&image_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(220, 60, 55));
        painter.drawEllipse(QPoint(140, 90), 64, 64);
        painter.translate(140, 90);
        painter.rotate(QTime::currentTime().second() * 6);
        painter.setPen(QPen(Qt::black, 2));
        painter.drawLine(0, 0, 0, -56);
        painter.end();
        update();
    }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, image_);
    }

    QImage image_;
    QTimer timer_;
};
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ReferenceWindow window;
    window.move(300, 0);
    window.show();
    return app.exec();
}
