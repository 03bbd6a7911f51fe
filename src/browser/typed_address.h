#pragma once

#include <QString>
#include <QUrl>

namespace zorvel::browser {

// The address a user typed into the address field. Without a scheme, a web address is asked
// for over https; an explicit scheme (http included) and local files are kept as typed.
QUrl TypedAddress(const QString& text);

}  // namespace zorvel::browser
