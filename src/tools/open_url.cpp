#include "tools/open_url.h"

#include <QPointer>
#include <QWidget>

#include "platform/url_opener.h"
#include "widgets/message_box.h"

void OpenUrlFor(QWidget* parent, IUrlOpener* opener, const QUrl& url) {
    CSystemUrlOpener system;
    const QString address = url.toString();
    (opener ? *opener : system)
        .Open(url, [window = QPointer<QWidget>(parent), address](const QString& reason) {
            zorvel::ShowWarning(window,
                                QStringLiteral("无法打开网页：%1\n%2").arg(address, reason));
        });
}
