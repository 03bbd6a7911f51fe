#include "browser/browser_window_list.h"

#include <unistd.h>
#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QWebEngineProfile>

#include "browser/browser_control_dlg.h"

namespace {

// Read by the web engine when it makes its first page, so set before any window exists.
void PrepareWebEngine() {
    static bool done = false;
    if (done)
        return;
    done = true;
    // Chromium will not start its sandbox for root, and no page would ever show.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The browser's own pages (errors, prompts) speak the program's language, and sites are
    // asked for Chinese first.
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--lang"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + " --lang=zh-CN");
    QWebEngineProfile::defaultProfile()->setHttpAcceptLanguage(
        QStringLiteral("zh-CN,zh;q=0.9,en;q=0.5"));
}

}  // namespace

CBrowserWindowList::CBrowserWindowList() {
    PrepareWebEngine();
}

CBrowserWindowList::~CBrowserWindowList() {
    const QList<Entry> open = entries_;
    entries_.clear();
    for (const Entry& entry : open) {
        disconnect(entry.window, nullptr, this, nullptr);
        delete entry.window;
    }
}

QString CBrowserWindowList::Problem() {
    // Pages are drawn by a helper program; without it every window would stay blank.
    QString helper = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (helper.isEmpty())
        helper = QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) +
                 QStringLiteral("/QtWebEngineProcess");
    if (!QFileInfo(helper).isExecutable())
        return QStringLiteral("找不到网页组件 %1").arg(helper);
    return {};
}

CBrowser_ControlDlg* CBrowserWindowList::Open(const QUrl& url) {
    CBrowser_ControlDlg* window = NewWindow();
    window->OpenPage(url);
    return window;
}

QList<QWidget*> CBrowserWindowList::Windows() const {
    QList<QWidget*> windows;
    for (const Entry& entry : entries_)
        windows.append(entry.window);
    return windows;
}

std::vector<std::uint64_t> CBrowserWindowList::Numbers() const {
    std::vector<std::uint64_t> numbers;
    for (const Entry& entry : entries_)
        numbers.push_back(entry.number);
    return numbers;
}

std::uint64_t CBrowserWindowList::NumberOf(const QWidget* window) const {
    for (const Entry& entry : entries_) {
        if (entry.window == window)
            return entry.number;
    }
    return 0;
}

void CBrowserWindowList::CloseAll() {
    for (QWidget* window : Windows())
        window->close();
}

CBrowser_ControlDlg* CBrowserWindowList::NewWindow() {
    auto* window = new CBrowser_ControlDlg([this] { return NewWindow(); });
    entries_.append(Entry{window, ++lastNumber_});
    connect(window, &QObject::destroyed, this, [this, window] {
        if (entries_.removeIf([window](const Entry& e) { return e.window == window; }) > 0)
            emit WindowsChanged();
    });
    Show(window);
    emit WindowsChanged();
    return window;
}

void CBrowserWindowList::Show(QWidget* window) {
    // Where the user just clicked in the clock's tools page, as far as this program can tell.
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        QSize size = window->size().boundedTo(area.size()).expandedTo(window->minimumSize());
        window->resize(size);
        QRect frame(QPoint(), size);
        frame.moveCenter(area.center());
        window->move(frame.topLeft());
    }
    window->show();
    window->raise();
    window->activateWindow();
}
