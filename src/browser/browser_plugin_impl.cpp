#include "browser/browser_plugin_impl.h"

#include <unistd.h>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QWebEngineProfile>

#include "browser/browser_control_dlg.h"

QString CBrowserPlugin::Problem() const {
    // Pages are drawn by a helper program; without it every window would stay blank.
    QString helper = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (helper.isEmpty())
        helper = QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) +
                 QStringLiteral("/QtWebEngineProcess");
    if (!QFileInfo(helper).isExecutable())
        return QStringLiteral("找不到网页组件 %1").arg(helper);
    return {};
}

QWidget* CBrowserPlugin::CreateWindow(NewWindow newWindow) {
    // Chromium will not start its sandbox for root, and no page would ever show; read when the
    // first page is made, so still in time here.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The browser's own pages (errors, prompts) speak the program's language, and sites are
    // asked for Chinese first.
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--lang"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + " --lang=zh-CN");
    QWebEngineProfile::defaultProfile()->setHttpAcceptLanguage(
        QStringLiteral("zh-CN,zh;q=0.9,en;q=0.5"));
    return new CBrowser_ControlDlg(std::move(newWindow));
}

void CBrowserPlugin::OpenPage(QWidget* window, const QUrl& url) {
    if (auto* browser = qobject_cast<CBrowser_ControlDlg*>(window))
        browser->OpenPage(url);
}
