#pragma once

#include <QObject>

#include "tools/browser_plugin.h"

// The entry point the program loads: makes browser windows on Qt WebEngine.
class CBrowserPlugin : public QObject, public IBrowserPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ZORVEL_BROWSER_PLUGIN_IID)
    Q_INTERFACES(IBrowserPlugin)
public:
    QString Problem() const override;
    QWidget* CreateWindow(NewWindow newWindow) override;
    void OpenPage(QWidget* window, const QUrl& url) override;
};
