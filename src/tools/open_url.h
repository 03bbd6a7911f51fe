#pragma once

#include <QUrl>

class IUrlOpener;
class QWidget;

// Opens `url` with `opener` (the system's when null); an address that cannot be opened is said
// in a message box over `parent` (when it is still there).
void OpenUrlFor(QWidget* parent, IUrlOpener* opener, const QUrl& url);
