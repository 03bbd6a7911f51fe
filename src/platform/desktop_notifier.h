#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <functional>
#include <map>

// A notice on the desktop's notification server, beside the windows (which stay the way to
// act: a server that is absent or offers no buttons changes nothing).
struct DesktopNotice {
    QString summary;
    QString body;  // plain text
    bool critical = false;
    QString category;
    // Keys and labels of the buttons; the key "default" is a click on the notice itself.
    QList<QPair<QString, QString>> actions;
};

class IDesktopNotifier {
public:
    virtual ~IDesktopNotifier() = default;
    // Posts the notice; `onAction` is told the key the user chose, at most once. Returns a
    // number for Withdraw (never 0).
    virtual quint64 Post(const DesktopNotice& notice,
                         std::function<void(const QString& action)> onAction) = 0;
    // Takes the notice away, if it is still there.
    virtual void Withdraw(quint64 notice) = 0;
};

// org.freedesktop.Notifications over D-Bus. Nothing waits for the server: a notice's id
// arrives later, and one withdrawn before is closed then.
class CFreedesktopNotifier final : public QObject, public IDesktopNotifier {
    Q_OBJECT
public:
    explicit CFreedesktopNotifier(QDBusConnection bus, QObject* parent = nullptr);
    quint64 Post(const DesktopNotice& notice,
                 std::function<void(const QString&)> onAction) override;
    void Withdraw(quint64 notice) override;

private slots:
    void OnActionInvoked(uint id, const QString& action);
    void OnClosed(uint id, uint reason);

private:
    struct Posted {
        uint serverId = 0;  // 0 until the server answers
        bool withdrawn = false;
        std::function<void(const QString&)> onAction;
    };
    void Close(uint serverId);

    QDBusConnection bus_;
    quint64 last_ = 0;
    std::map<quint64, Posted> posted_;
};
