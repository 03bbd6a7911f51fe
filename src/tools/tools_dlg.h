#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>

#include "tools/browser_windows.h"

class C12SCDlg;
class CSyncTimeDlg;
class IClockSetter;
class QPushButton;

namespace zorvel::tools {
struct ToolButton;
}

// The page "趣味工具": seventeen buttons that open web pages in our browser windows (one in
// the desktop's own browser), the double-hour table and the network time dialog.
class CToolsDlg : public QWidget {
    Q_OBJECT
public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    // `clockSetter` is what the network time dialog sets the clock with; `openUrl` hands an
    // address to the desktop's browser (the real one by default). `browsers` outlives the page
    // in the program, so that closing the main window leaves its web pages open; without it the
    // page keeps its own.
    explicit CToolsDlg(IClockSetter* clockSetter, UrlOpener openUrl = {}, QWidget* parent = nullptr,
                       CBrowserWindows* browsers = nullptr);
    ~CToolsDlg() override;

    // The browser windows this page opened and that are still open, in opening order.
    CBrowserWindows& browserWindows() { return *browserWindows_; }

    QList<QPushButton*> Buttons() const { return buttons_; }
    // The network time dialog once it was asked for: there is only ever one.
    CSyncTimeDlg* SyncTimeDlg() const;

private:
    void OnButton(const zorvel::tools::ToolButton& button);
    void ShowSyncTime();

    IClockSetter* clockSetter_;
    UrlOpener openUrl_;
    std::unique_ptr<CBrowserWindows> ownBrowserWindows_;
    CBrowserWindows* browserWindows_;
    QList<QPushButton*> buttons_;
    QPointer<CSyncTimeDlg> syncTime_;
};
