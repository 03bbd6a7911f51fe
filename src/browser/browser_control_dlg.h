#pragma once

#include <QUrl>
#include <QWidget>
#include <functional>

class CBrowserView;
class CProgressAnim;
class QLabel;
class QLineEdit;
class QStatusBar;
class QToolButton;
class QWebEngineView;

// "浏览器": a web page with an address field, six navigation buttons and a status bar that shows
// the link under the mouse and a busy picture while the page loads. Closing the window (close
// box or Esc) destroys it and ends its page.
class CBrowser_ControlDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMinWidth = 703;
    static constexpr int kMinHeight = 438;
    static constexpr int kStatusBarHeight = 30;

    // Gives a page that asks for a window of its own a new browser window (null: none).
    using NewWindow = std::function<CBrowser_ControlDlg*()>;

    explicit CBrowser_ControlDlg(NewWindow newWindow);
    ~CBrowser_ControlDlg() override;

    void OpenPage(const QUrl& url);
    QWebEngineView* View() const;

private:
    QToolButton* AddButton(const char* name, const QString& text, const QString& picture);
    void Navigate(const QUrl& url);
    void OnLoadStarted();
    void OnLoadFinished(bool ok);
    void OnUrlChanged(const QUrl& url);
    void ShowPageAddress();
    void OnLinkHovered(const QString& url);
    void UpdateButtons();

    CBrowserView* view_;
    QLineEdit* addressEdit_;
    QToolButton* backButton_;
    QToolButton* forwardButton_;
    QStatusBar* statusBar_;
    QLabel* statusLabel_;
    CProgressAnim* progressAnim_;
    // What the status text returns to when the mouse leaves a link.
    QString stateText_;
};
