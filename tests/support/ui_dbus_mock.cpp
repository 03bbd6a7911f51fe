#include "support/ui_dbus_mock.h"

#include <QDBusConnectionInterface>
#include <QProcessEnvironment>

#include "support/ui_helpers.h"

namespace zorvel::test {

namespace {
int counter = 0;

// A python that has dbusmock: the one on the PATH may be another than the system's.
QString FindPython() {
    for (const QString& candidate :
         {QStringLiteral("python3"), QStringLiteral("/usr/bin/python3")}) {
        QProcess p;
        p.start(candidate, {QStringLiteral("-c"), QStringLiteral("import dbusmock")});
        if (p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
            return candidate;
    }
    return {};
}
}  // namespace

CPrivateBus::CPrivateBus() {
    python_ = FindPython();
    if (python_.isEmpty()) {
        problem_ = QStringLiteral("python3-dbusmock is not installed");
        return;
    }
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"),
                   QStringLiteral("--print-address=1")});
    if (!daemon_.waitForStarted(5000) || !daemon_.waitForReadyRead(5000)) {
        problem_ = QStringLiteral("dbus-daemon did not start");
        return;
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    connectionName_ = QStringLiteral("zorvel-test-bus-%1").arg(++counter);
    if (!QDBusConnection::connectToBus(address_, connectionName_).isConnected())
        problem_ = QStringLiteral("cannot connect to the private bus");
}

CPrivateBus::~CPrivateBus() {
    if (!connectionName_.isEmpty())
        QDBusConnection::disconnectFromBus(connectionName_);
    for (auto& mock : mocks_) {
        mock->kill();
        mock->waitForFinished(3000);
    }
    daemon_.kill();
    daemon_.waitForFinished(3000);
}

QDBusConnection CPrivateBus::connection() const {
    return QDBusConnection(connectionName_);
}

bool CPrivateBus::StartMock(const QString& templ, const QString& busName,
                            const QString& parametersJson) {
    auto mock = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
    mock->setProcessEnvironment(env);
    mock->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock->start(python_,
                {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--session"),
                 QStringLiteral("-t"), templ, QStringLiteral("-p"), parametersJson});
    QProcess* started = mock.get();
    mocks_.push_back(std::move(mock));
    QDBusConnection bus = connection();
    return WaitUntil(
        [&] {
            return started->state() != QProcess::NotRunning &&
                   bus.interface()->isServiceRegistered(busName).value();
        },
        20000);
}

QDBusMessage CPrivateBus::Mock(const QString& busName, const QString& path, const QString& method,
                               const QVariantList& args) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        busName, path, QStringLiteral("org.freedesktop.DBus.Mock"), method);
    call.setArguments(args);
    return connection().call(call, QDBus::Block, 10000);
}

void CPrivateBus::Emit(const QString& busName, const QString& path, const QString& interface,
                       const QString& name, const QString& signature, const QVariantList& args) {
    Mock(busName, path, QStringLiteral("EmitSignal"),
         {interface, name, signature, QVariant::fromValue(args)});
}

}  // namespace zorvel::test
