#pragma once

#include <QUrl>
#include <QWidget>
#include <functional>

class CRipplePicture;
class QLabel;

// The page "访问主页": a picture under rippling water and the link to the project's home page.
class CHomepageDlg : public QWidget {
    Q_OBJECT
public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    // `openUrl` hands an address to the desktop's browser; `random` drives the drops (both
    // default to the real ones).
    explicit CHomepageDlg(UrlOpener openUrl = {}, std::function<unsigned()> random = {},
                          QWidget* parent = nullptr);

    CRipplePicture* Picture() const { return picture_; }
    QLabel* Link() const { return link_; }

private:
    UrlOpener openUrl_;
    CRipplePicture* picture_;
    QLabel* link_;
};

// A label showing one link; activating it calls `onActivated` instead of Qt's own opener.
QLabel* MakeLinkLabel(const QString& text, const QString& objectName,
                      std::function<void()> onActivated, QWidget* parent = nullptr);
