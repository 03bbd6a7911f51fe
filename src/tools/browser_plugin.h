#pragma once

#include <QString>
#include <QtPlugin>
#include <functional>

class QUrl;
class QWidget;

// What the program asks of the browser plugin. The plugin alone links Qt WebEngine, so the clock
// pays nothing for the browser until the first browser window opens.
class IBrowserPlugin {
public:
    // Gives the program a window of its own for a page that asks for a new one.
    using NewWindow = std::function<QWidget*()>;

    virtual ~IBrowserPlugin() = default;

    // Empty when pages can be shown, otherwise why not.
    virtual QString Problem() const = 0;
    // A new browser window, hidden, without a parent. Closing it destroys it, with its page.
    virtual QWidget* CreateWindow(NewWindow newWindow) = 0;
    // Opens `url` in a window made by CreateWindow.
    virtual void OpenPage(QWidget* window, const QUrl& url) = 0;
};

#define ZORVEL_BROWSER_PLUGIN_IID "org.zorvel.BrowserPlugin/1.0"
Q_DECLARE_INTERFACE(IBrowserPlugin, ZORVEL_BROWSER_PLUGIN_IID)
