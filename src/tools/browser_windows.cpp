#include "tools/browser_windows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QPluginLoader>
#include <QScreen>
#include <QWidget>

#include "tools/browser_plugin.h"
#include "widgets/message_box.h"

// Qt's process-wide GL context that web pages draw through (exported by Qt GUI for Qt WebEngine).
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();

namespace {

// One plugin per process, kept loaded: its code backs every window it made.
IBrowserPlugin* g_plugin = nullptr;

QStringList PluginCandidates() {
    // An explicit choice (tests, a relocated install) is the only place looked in.
    const QString chosen = qEnvironmentVariable("ZORVEL_BROWSER_PLUGIN");
    if (!chosen.isEmpty()) {
        if (QFileInfo(chosen).isDir())
            return {QDir(chosen).filePath(QStringLiteral(ZORVEL_BROWSER_PLUGIN_FILE))};
        return {chosen};
    }
    return {QDir(QCoreApplication::applicationDirPath())
                .filePath(QStringLiteral(ZORVEL_BROWSER_PLUGIN_FILE)),
            QDir(QStringLiteral(ZORVEL_PLUGIN_DIR))
                .filePath(QStringLiteral(ZORVEL_BROWSER_PLUGIN_FILE))};
}

// Qt WebEngine draws pages on the GPU through a GL context shared with the application. Asking
// for it before the application starts (Qt::AA_ShareOpenGLContexts) would load the GL drivers
// into every run of the clock, about 60 MB with software GL; it is made here instead, once, when
// the browser is first wanted. Without it pages still show, drawn in software.
void ShareGlContext() {
    if (qt_gl_global_share_context())
        return;
    auto* context = new QOpenGLContext(qApp);
    context->setFormat(QSurfaceFormat::defaultFormat());
    if (context->create())
        qt_gl_set_global_share_context(context);
    else
        delete context;
}

IBrowserPlugin* LoadPlugin(QString* why) {
    if (g_plugin)
        return g_plugin;
    QStringList reasons;
    for (const QString& path : PluginCandidates()) {
        if (!QFileInfo::exists(path)) {
            reasons << QStringLiteral("找不到 %1").arg(path);
            continue;
        }
        // Before Qt WebEngine is loaded, which looks for the context when it starts.
        ShareGlContext();
        // Never unloaded: windows and pages it made may outlive any one caller.
        auto* loader = new QPluginLoader(path, qApp);
        QObject* instance = loader->instance();
        auto* plugin = qobject_cast<IBrowserPlugin*>(instance);
        if (plugin) {
            g_plugin = plugin;
            return plugin;
        }
        reasons << (instance ? QStringLiteral("%1 不是浏览器组件").arg(path)
                             : loader->errorString());
        delete loader;
    }
    *why = reasons.join(QLatin1Char('\n'));
    return nullptr;
}

}  // namespace

CBrowserWindows::CBrowserWindows(QWidget* owner) : owner_(owner) {}

CBrowserWindows::~CBrowserWindows() {
    const QList<QWidget*> open = windows_;
    windows_.clear();
    for (QWidget* window : open) {
        disconnect(window, nullptr, this, nullptr);
        delete window;
    }
}

IBrowserPlugin* CBrowserWindows::Plugin() {
    QString why;
    IBrowserPlugin* plugin = LoadPlugin(&why);
    if (plugin)
        why = plugin->Problem();
    if (why.isEmpty())
        return plugin;
    zorvel::ShowWarning(owner_, QStringLiteral("无法打开浏览器：\n%1").arg(why));
    return nullptr;
}

QWidget* CBrowserWindows::Open(const QUrl& url) {
    IBrowserPlugin* plugin = Plugin();
    if (!plugin)
        return nullptr;
    QWidget* window = NewWindow();
    plugin->OpenPage(window, url);
    return window;
}

QWidget* CBrowserWindows::NewWindow() {
    QWidget* window = g_plugin->CreateWindow([this] { return NewWindow(); });
    windows_.append(window);
    connect(window, &QObject::destroyed, this, [this, window] {
        if (windows_.removeOne(window))
            emit WindowsChanged();
    });
    Show(window);
    emit WindowsChanged();
    return window;
}

void CBrowserWindows::Show(QWidget* window) {
    QScreen* screen = owner_ ? owner_->screen() : QGuiApplication::primaryScreen();
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
