#include "tools/homepage_dlg.h"

#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <QVBoxLayout>
#include <utility>

#include "tools/core/web_addresses.h"
#include "tools/open_url.h"
#include "tools/ripple_picture.h"

namespace {
// Drawn at twice its size so it stays sharp on dense screens and when scaled down.
QImage HomepagePicture() {
    QSvgRenderer svg(QStringLiteral(":/tools/homepage.svg"));
    QImage image(svg.defaultSize() * 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter);
    return image;
}
}  // namespace

QLabel* MakeLinkLabel(const QString& text, const QString& objectName,
                      std::function<void()> onActivated, QWidget* parent) {
    auto* label =
        new QLabel(QStringLiteral("<a href=\"#\">%1</a>").arg(text.toHtmlEscaped()), parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setOpenExternalLinks(false);
    label->setCursor(Qt::PointingHandCursor);
    label->setAccessibleName(text);
    label->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(label, &QLabel::linkActivated, label,
                     [activated = std::move(onActivated)](const QString&) { activated(); });
    return label;
}

CHomepageDlg::CHomepageDlg(UrlOpener openUrl, std::function<unsigned()> random, QWidget* parent)
    : QWidget(parent), openUrl_(std::move(openUrl)) {
    if (!openUrl_)
        openUrl_ = [this](const QUrl& url) {
            OpenUrlFor(this, nullptr, url);
            return true;
        };

    picture_ = new CRipplePicture(this, std::move(random));
    picture_->setObjectName(QStringLiteral("homepagePicture"));
    picture_->setAccessibleName(QStringLiteral("水波图片"));
    picture_->setFixedSize(480, 270);
    picture_->SetPicture(HomepagePicture());

    const QString address = QString::fromLatin1(zorvel::web::kProjectHomePage);
    link_ = MakeLinkLabel(address, QStringLiteral("homepageLink"),
                          [this, address] { openUrl_(QUrl(address)); });
    link_->setAccessibleName(QStringLiteral("访问主页：") + address);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 12, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(picture_, 0, Qt::AlignHCenter);
    layout->addWidget(link_, 0, Qt::AlignHCenter);
    layout->addStretch(1);
}
