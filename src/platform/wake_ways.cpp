#include "platform/wake_ways.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QDateTime>
#include <QTimer>

#include "platform/log_categories.h"

// The shapes of StartTransientUnit's arguments: properties a(sv), auxiliary units
// a(sa(sv)), and a command line (sasb).
struct UnitProperty {
    QString name;
    QDBusVariant value;
};
using UnitProperties = QList<UnitProperty>;
struct AuxUnit {
    QString name;
    UnitProperties properties;
};
using AuxUnits = QList<AuxUnit>;
struct ExecCommand {
    QString path;
    QStringList argv;
    bool ignoreFailure = false;
};
using ExecCommands = QList<ExecCommand>;
Q_DECLARE_METATYPE(UnitProperty)
Q_DECLARE_METATYPE(AuxUnit)
Q_DECLARE_METATYPE(ExecCommand)

QDBusArgument& operator<<(QDBusArgument& arg, const UnitProperty& p) {
    arg.beginStructure();
    arg << p.name << p.value;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, UnitProperty& p) {
    arg.beginStructure();
    arg >> p.name >> p.value;
    arg.endStructure();
    return arg;
}
QDBusArgument& operator<<(QDBusArgument& arg, const AuxUnit& u) {
    arg.beginStructure();
    arg << u.name << u.properties;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, AuxUnit& u) {
    arg.beginStructure();
    arg >> u.name >> u.properties;
    arg.endStructure();
    return arg;
}
QDBusArgument& operator<<(QDBusArgument& arg, const ExecCommand& c) {
    arg.beginStructure();
    arg << c.path << c.argv << c.ignoreFailure;
    arg.endStructure();
    return arg;
}
const QDBusArgument& operator>>(const QDBusArgument& arg, ExecCommand& c) {
    arg.beginStructure();
    arg >> c.path >> c.argv >> c.ignoreFailure;
    arg.endStructure();
    return arg;
}

namespace {
const QString kSystemd = QStringLiteral("org.freedesktop.systemd1");
const QString kSystemdPath = QStringLiteral("/org/freedesktop/systemd1");
const QString kManager = QStringLiteral("org.freedesktop.systemd1.Manager");

UnitProperty Property(const char* name, const QVariant& value) {
    return {QString::fromLatin1(name), QDBusVariant(value)};
}

void RegisterTypes() {
    static const bool once = [] {
        qDBusRegisterMetaType<UnitProperty>();
        qDBusRegisterMetaType<UnitProperties>();
        qDBusRegisterMetaType<AuxUnit>();
        qDBusRegisterMetaType<AuxUnits>();
        qDBusRegisterMetaType<ExecCommand>();
        qDBusRegisterMetaType<ExecCommands>();
        return true;
    }();
    (void)once;
}
}  // namespace

// ---------------------------------------------------------------- systemd timer

CSystemdTimerWake::CSystemdTimerWake(QDBusConnection userManagerBus, QObject* parent)
    : QObject(parent), bus_(std::move(userManagerBus)) {
    RegisterTypes();
}

CSystemdTimerWake::~CSystemdTimerWake() {
    // A program that is not running rings nothing: no reason left to wake the computer. Sent
    // and waited for (briefly), as the program is ending and its bus with it.
    if (armed_.isEmpty() || !bus_.isConnected())
        return;
    QDBusMessage stop = QDBusMessage::createMethodCall(kSystemd, kSystemdPath, kManager,
                                                       QStringLiteral("StopUnit"));
    stop << armed_ << QStringLiteral("replace");
    bus_.call(stop, QDBus::Block, 1000);
}

void CSystemdTimerWake::StopLeftovers() {
    QDBusMessage list = QDBusMessage::createMethodCall(kSystemd, kSystemdPath, kManager,
                                                       QStringLiteral("ListUnitsByPatterns"));
    list << QStringList() << QStringList{QStringLiteral("zorvel-wake-*.timer")};
    list.setAutoStartService(false);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(list), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        QDBusMessage reply = w->reply();
        if (reply.type() != QDBusMessage::ReplyMessage)
            return;
        // a(ssssssouso): the unit's name comes first.
        const QDBusArgument units = reply.arguments().value(0).value<QDBusArgument>();
        units.beginArray();
        while (!units.atEnd()) {
            QString name, description, load, active, sub, following, jobType;
            QDBusObjectPath path, jobPath;
            uint job = 0;
            units.beginStructure();
            units >> name >> description >> load >> active >> sub >> following >> path >> job >>
                jobType >> jobPath;
            units.endStructure();
            if (!mine_.contains(name))
                Stop(name);
        }
        units.endArray();
    });
}

QString CSystemdTimerWake::CalendarText(std::time_t at) {
    return QDateTime::fromSecsSinceEpoch(at, Qt::UTC)
               .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
           QStringLiteral(" UTC");
}

void CSystemdTimerWake::Arm(std::time_t at, std::function<void(bool)> done) {
    if (!bus_.isConnected()) {
        done(false);
        return;
    }
    // A new name each time: the old unit may not be gone yet when the new one starts.
    const QString name = QStringLiteral("zorvel-wake-%1-%2").arg(::getpid()).arg(++counter_);
    const QString timer = name + QStringLiteral(".timer");
    if (mine_.isEmpty())
        StopLeftovers();
    mine_ << timer;
    const UnitProperties timerProperties{
        Property("Description", QStringLiteral("Zorvel: wake the computer for an alarm")),
        // Absolute and in UTC: a monotonic timer misbehaves across a suspend, and a local time
        // would move with a change of time zone.
        Property("OnCalendar", CalendarText(at)),
        Property("WakeSystem", true),
        Property("AccuracyUSec", QVariant::fromValue<qulonglong>(1000000)),
        Property("RemainAfterElapse", false),
    };
    const ExecCommands noop{{QStringLiteral("/bin/true"), {QStringLiteral("/bin/true")}, false}};
    const AuxUnits aux{{name + QStringLiteral(".service"),
                        {Property("Description", QStringLiteral("Zorvel: woken for an alarm")),
                         Property("ExecStart", QVariant::fromValue(noop))}}};
    QDBusMessage call = QDBusMessage::createMethodCall(kSystemd, kSystemdPath, kManager,
                                                       QStringLiteral("StartTransientUnit"));
    // The user manager runs or it does not: a bus that would start one on demand is not asked.
    call.setAutoStartService(false);
    call << timer << QStringLiteral("fail") << QVariant::fromValue(timerProperties)
         << QVariant::fromValue(aux);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, timer, done](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                QDBusPendingReply<QDBusObjectPath> reply = *w;
                if (reply.isError()) {
                    qCInfo(lcPlatform, "no wake-up timer from systemd: %s",
                           qPrintable(reply.error().message()));
                    done(false);
                    return;
                }
                QTimer::singleShot(100, this, [this, timer, done] { CheckState(timer, 20, done); });
            });
}

void CSystemdTimerWake::CheckState(const QString& timer, int triesLeft,
                                   std::function<void(bool)> done) {
    QDBusMessage getUnit =
        QDBusMessage::createMethodCall(kSystemd, kSystemdPath, kManager, QStringLiteral("GetUnit"));
    getUnit << timer;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(getUnit), this);
    connect(
        watcher, &QDBusPendingCallWatcher::finished, this,
        [this, timer, triesLeft, done](QDBusPendingCallWatcher* w) {
            w->deleteLater();
            QDBusPendingReply<QDBusObjectPath> unit = *w;
            if (unit.isError()) {
                done(false);
                return;
            }
            QDBusMessage get = QDBusMessage::createMethodCall(
                kSystemd, unit.value().path(), QStringLiteral("org.freedesktop.DBus.Properties"),
                QStringLiteral("Get"));
            get << QStringLiteral("org.freedesktop.systemd1.Unit") << QStringLiteral("ActiveState");
            auto* stateWatcher = new QDBusPendingCallWatcher(bus_.asyncCall(get), this);
            connect(stateWatcher, &QDBusPendingCallWatcher::finished, this,
                    [this, timer, triesLeft, done](QDBusPendingCallWatcher* sw) {
                        sw->deleteLater();
                        QDBusPendingReply<QDBusVariant> state = *sw;
                        const QString s =
                            state.isError() ? QString() : state.value().variant().toString();
                        if (s == QLatin1String("failed") || (state.isError() && triesLeft == 0)) {
                            // Typically the result "resources": this manager may not wake
                            // the system. The failed unit is cleared away.
                            QDBusMessage reset =
                                QDBusMessage::createMethodCall(kSystemd, kSystemdPath, kManager,
                                                               QStringLiteral("ResetFailedUnit"));
                            reset << timer;
                            bus_.asyncCall(reset);
                            done(false);
                            return;
                        }
                        if (s == QLatin1String("activating") || s.isEmpty()) {
                            if (triesLeft > 0) {
                                QTimer::singleShot(100, this, [this, timer, triesLeft, done] {
                                    CheckState(timer, triesLeft - 1, done);
                                });
                                return;
                            }
                        }
                        // Active (waiting), or already elapsed: either way not refused.
                        if (!armed_.isEmpty() && armed_ != timer)
                            Stop(armed_);
                        armed_ = timer;
                        done(true);
                    });
        });
}

void CSystemdTimerWake::Stop(const QString& timer) {
    QDBusMessage stop = QDBusMessage::createMethodCall(kSystemd, kSystemdPath, kManager,
                                                       QStringLiteral("StopUnit"));
    stop << timer << QStringLiteral("replace");
    bus_.asyncCall(stop);
}

void CSystemdTimerWake::Disarm() {
    if (armed_.isEmpty() || !bus_.isConnected())
        return;
    Stop(armed_);
    armed_.clear();
}

// ---------------------------------------------------------------- helper

CHelperWake::CHelperWake(QString program, QStringList arguments, QObject* parent)
    : QObject(parent), program_(std::move(program)), arguments_(std::move(arguments)) {}

CHelperWake::~CHelperWake() {
    if (process_) {
        process_->disconnect(this);
        // The helper ends when its input closes, and the wake-up with it.
        process_->closeWriteChannel();
        if (!process_->waitForFinished(500))
            process_->kill();
        process_->waitForFinished(500);
    }
}

QString CHelperWake::DefaultProgram() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/zorvel-wake");
}

void CHelperWake::Arm(std::time_t at, std::function<void(bool)> done) {
    done_ = std::move(done);
    pendingAt_ = at;
    if (!process_) {
        ready_ = false;
        process_ = std::make_unique<QProcess>();
        process_->setProgram(program_);
        process_->setArguments(arguments_);
        // Its refusal names the command that grants the capability: worth seeing.
        process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        connect(process_.get(), &QProcess::readyReadStandardOutput, this, [this] {
            while (process_ && process_->canReadLine())
                OnLine(process_->readLine().trimmed());
        });
        connect(process_.get(), &QProcess::errorOccurred, this, [this] { Fail(); });
        connect(process_.get(), &QProcess::finished, this, [this] { Fail(); });
        process_->start();
        return;
    }
    if (ready_)
        process_->write(QByteArray("arm ") + QByteArray::number(static_cast<qlonglong>(at)) + '\n');
}

void CHelperWake::OnLine(const QByteArray& line) {
    if (line == "ready") {
        ready_ = true;
        if (pendingAt_ != 0)
            process_->write(QByteArray("arm ") +
                            QByteArray::number(static_cast<qlonglong>(pendingAt_)) + '\n');
    } else if (line.startsWith("armed ")) {
        pendingAt_ = 0;
        if (auto done = std::exchange(done_, nullptr))
            done(true);
    } else if (line.startsWith("refused") || line.startsWith("error")) {
        qCInfo(lcPlatform, "zorvel-wake: %s", line.constData());
        if (auto done = std::exchange(done_, nullptr))
            done(false);
    }
}

void CHelperWake::Fail() {
    ready_ = false;
    if (process_) {
        process_->disconnect(this);
        process_.release()->deleteLater();
    }
    if (auto done = std::exchange(done_, nullptr))
        done(false);
}

void CHelperWake::Disarm() {
    pendingAt_ = 0;
    if (process_ && ready_)
        process_->write("disarm\n");
}

std::vector<std::unique_ptr<zorvel::IWakeWay>> LinuxWakeWays() {
    std::vector<std::unique_ptr<zorvel::IWakeWay>> ways;
    ways.push_back(std::make_unique<CSystemdTimerWake>(QDBusConnection::sessionBus()));
    ways.push_back(std::make_unique<CHelperWake>(CHelperWake::DefaultProgram()));
    return ways;
}
