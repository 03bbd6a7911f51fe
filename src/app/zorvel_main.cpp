#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Zorvel"));
    label.resize(268, 268);
    label.show();
    return app.exec();
}
