#pragma once

#include <QUrl>
#include <QWidget>
#include <functional>

class IProgramLauncher;
class QLabel;

// The page "帮助": the program's name and version, what it is, its licence (GPL 3 or later, with
// a link to the licence's text), and the links to check for an update and to send feedback.
class CAboutDlg : public QWidget {
    Q_OBJECT
public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    // `programDir` is where an "updater" program is looked for (the executable's folder by
    // default); `launcher` starts it; `openUrl` defaults to the desktop's browser.
    explicit CAboutDlg(IProgramLauncher* launcher, UrlOpener openUrl = {}, QString programDir = {},
                       QWidget* parent = nullptr);

    QLabel* UpdateLink() const { return updateLink_; }
    QLabel* FeedbackLink() const { return feedbackLink_; }
    QLabel* LicenceLink() const { return licenceLink_; }

    // "检查更新": runs the updater next to the program, or opens the home page where one can
    // be downloaded when there is none.
    void CheckForUpdate();

private:
    IProgramLauncher* launcher_;
    UrlOpener openUrl_;
    QString programDir_;
    QLabel* updateLink_;
    QLabel* feedbackLink_;
    QLabel* licenceLink_;
};
