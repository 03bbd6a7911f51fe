#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QString>
#include <QVariantList>
#include <memory>
#include <vector>

namespace zorvel::test {

// A private D-Bus daemon with python-dbusmock services on it: the platform classes talk to
// them as they would to logind, systemd or a notification server, and nothing reaches the
// machine's own buses.
class CPrivateBus {
public:
    CPrivateBus();
    ~CPrivateBus();
    // Empty when all is well; else what is missing (dbus-daemon, python3-dbusmock).
    QString problem() const { return problem_; }
    QString address() const { return address_; }
    QDBusConnection connection() const;
    // Starts dbusmock with a template (a name, or a path to a .py file) and waits until
    // `busName` is on the bus.
    bool StartMock(const QString& templ, const QString& busName,
                   const QString& parametersJson = QStringLiteral("{}"));
    // Calls `method` of dbusmock's own interface on the object `path` of `busName`.
    QDBusMessage Mock(const QString& busName, const QString& path, const QString& method,
                      const QVariantList& args = {});
    // Emits a signal from the mock `busName`'s object `path`.
    void Emit(const QString& busName, const QString& path, const QString& interface,
              const QString& name, const QString& signature, const QVariantList& args);

private:
    QString problem_;
    QString address_;
    QString connectionName_;
    QString python_;
    QProcess daemon_;
    std::vector<std::unique_ptr<QProcess>> mocks_;
};

}  // namespace zorvel::test
