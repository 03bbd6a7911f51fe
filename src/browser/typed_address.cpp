#include "browser/typed_address.h"

#include <QRegularExpression>

namespace zorvel::browser {

QUrl TypedAddress(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    QUrl url = QUrl::fromUserInput(trimmed);
    // fromUserInput chooses http for "example.org"; only a typed "http:" should get it.
    static const QRegularExpression kHasScheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (url.scheme() == QLatin1String("http") && !kHasScheme.match(trimmed).hasMatch())
        url.setScheme(QStringLiteral("https"));
    return url;
}

}  // namespace zorvel::browser
