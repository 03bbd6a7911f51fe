#include "app/script_bus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QPointer>
#include <QStringList>
#include <thread>

#include "cli/core/script_input.h"
#include "cli/core/script_store.h"
#include "platform/log_categories.h"
#include "settings/core/password_hash.h"
#include "storage/clock_manager.h"
#include "storage/sqlite_wrapper.h"

using namespace zorvel;

namespace {

constexpr const char* kInvalid = "org.zorvel.Zorvel1.Error.InvalidArgument";
constexpr const char* kNotFound = "org.zorvel.Zorvel1.Error.NotFound";
constexpr const char* kWrongPassword = "org.zorvel.Zorvel1.Error.WrongPassword";
constexpr const char* kFailed = "org.zorvel.Zorvel1.Error.Failed";

const QStringList kPages = {QStringLiteral("alarms"),   QStringLiteral("notes"),
                            QStringLiteral("memos"),    QStringLiteral("log"),
                            QStringLiteral("settings"), QStringLiteral("tools")};

// Ids are made by the program: GUID texts, "{6C6603A5-7D0A-411d-80DF-22BEE53C32EB}".
bool LooksLikeId(const QString& id) {
    if (id.isEmpty() || id.size() > 64)
        return false;
    for (QChar c : id)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && !QStringLiteral("-{}").contains(c))
            return false;
    return true;
}

}  // namespace

CScriptBus::CScriptBus(Handlers handlers, QObject* parent)
    : QObject(parent), handlers_(std::move(handlers)) {}

bool CScriptBus::Register() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (!bus.registerObject(QString::fromLatin1(kPath), this,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals)) {
        qCWarning(lcApp, "cannot export %s on the session bus", kPath);
        return false;
    }
    if (!bus.registerService(QString::fromLatin1(kService))) {
        qCWarning(lcApp, "the name %s is taken on the session bus", kService);
        bus.unregisterObject(QString::fromLatin1(kPath));
        return false;
    }
    return true;
}

void CScriptBus::TellRinging(const std::string& id, const std::string& time,
                             const std::string& text) {
    emit AlarmRinging(QString::fromStdString(id), QString::fromStdString(IsoLocalTime(time)),
                      QString::fromStdString(text));
}

void CScriptBus::TellAlarmsChanged() {
    emit AlarmsChanged();
}

void CScriptBus::Refuse(const char* error, const std::string& message) {
    if (calledFromDBus())
        sendErrorReply(QString::fromLatin1(error), QString::fromStdString(message));
}

QString CScriptBus::AddAlarm(const QString& at, const QString& text, const QString& repeat,
                             const QString& ring) {
    ScriptAlarmRequest request;
    request.at = at.toStdString();
    request.text = text.toStdString();
    request.repeat = repeat.isEmpty() ? std::string("once") : repeat.toStdString();
    request.ring = ring.isEmpty() ? std::string("song1") : ring.toStdString();
    std::string why;
    const auto alarm = CheckScriptAlarm(request, handlers_.clock->NowTimeT(), &why);
    if (!alarm) {
        Refuse(kInvalid, why);
        return {};
    }
    return Stored([&] { return AddScriptAlarm(handlers_.store->Manager(), *alarm); });
}

QString CScriptBus::Stored(const std::function<ScriptOutcome()>& store) {
    try {
        const ScriptOutcome outcome = store();
        if (!outcome.ok) {
            Refuse(kInvalid, outcome.message);
            return {};
        }
        return QString::fromStdString(outcome.id);
    } catch (const CppSQLite3Exception& e) {
        Refuse(kFailed, e.errorMessage());
        return {};
    }
}

QString CScriptBus::ListAlarms() {
    try {
        return QString::fromStdString(
            AlarmsJson(ScriptAlarmRows(handlers_.store->Manager(), handlers_.clock->NowTimeT())));
    } catch (const CppSQLite3Exception& e) {
        Refuse(kFailed, e.errorMessage());
        return {};
    }
}

void CScriptBus::AfterPassword(const QString& password,
                               std::function<QDBusMessage(QDBusMessage)> change) {
    const std::string stored = handlers_.requiredPassword ? handlers_.requiredPassword() : "";
    QDBusMessage call = calledFromDBus() ? message() : QDBusMessage();
    if (stored.empty()) {
        if (calledFromDBus())
            setDelayedReply(true);
        QDBusConnection::sessionBus().send(change(call));
        return;
    }
    setDelayedReply(true);
    QPointer<CScriptBus> self(this);
    std::thread([self, stored, typed = password.toStdU16String(), call, change] {
        const bool right = CheckPassword(typed, stored);
        QMetaObject::invokeMethod(qApp, [self, right, call, change] {
            if (!self)
                return;
            QDBusConnection::sessionBus().send(
                right ? change(call)
                      : call.createErrorReply(QString::fromLatin1(kWrongPassword),
                                              QStringLiteral("密码不正确")));
        });
    }).detach();
}

void CScriptBus::DeleteAlarm(const QString& id, const QString& password) {
    if (!LooksLikeId(id)) {
        Refuse(kInvalid, "不是闹钟的编号：" + id.left(80).toStdString());
        return;
    }
    AfterPassword(password, [this, id](QDBusMessage call) {
        try {
            const ScriptOutcome outcome =
                DeleteScriptAlarm(handlers_.store->Manager(), id.toStdString());
            if (!outcome.ok)
                return call.createErrorReply(QString::fromLatin1(kNotFound),
                                             QString::fromStdString(outcome.message));
            return call.createReply();
        } catch (const CppSQLite3Exception& e) {
            return call.createErrorReply(QString::fromLatin1(kFailed),
                                         QString::fromUtf8(e.errorMessage()));
        }
    });
}

QString CScriptBus::SkipNext(const QString& id, const QString& password) {
    if (!LooksLikeId(id)) {
        Refuse(kInvalid, "不是闹钟的编号：" + id.left(80).toStdString());
        return {};
    }
    AfterPassword(password, [this, id](QDBusMessage call) {
        try {
            const ScriptOutcome outcome = SkipScriptAlarm(
                handlers_.store->Manager(), id.toStdString(), handlers_.clock->NowTimeT());
            if (!outcome.ok)
                return call.createErrorReply(QString::fromLatin1(kInvalid),
                                             QString::fromStdString(outcome.message));
            return call.createReply(QString::fromStdString(outcome.message));
        } catch (const CppSQLite3Exception& e) {
            return call.createErrorReply(QString::fromLatin1(kFailed),
                                         QString::fromUtf8(e.errorMessage()));
        }
    });
    return {};
}

void CScriptBus::Snooze(const QString& id) {
    if (!LooksLikeId(id) || !handlers_.snooze || !handlers_.snooze(id.toStdString()))
        Refuse(kNotFound, "闹钟 " + id.left(80).toStdString() + " 没有在响");
}

void CScriptBus::Dismiss(const QString& id) {
    if (!LooksLikeId(id) || !handlers_.dismiss || !handlers_.dismiss(id.toStdString()))
        Refuse(kNotFound, "闹钟 " + id.left(80).toStdString() + " 没有在响");
}

QString CScriptBus::AddNote(const QString& text) {
    return Stored([&] {
        return AddScriptNote(handlers_.store->Manager(), text.toStdString(),
                             handlers_.clock->NowTimeT());
    });
}

int CScriptBus::PageNumber(const QString& page) {
    return static_cast<int>(kPages.indexOf(page));
}

void CScriptBus::ShowPage(const QString& page) {
    if (PageNumber(page) < 0) {
        Refuse(kInvalid, "没有这一页：" + page.left(80).toStdString() +
                             "（可用 alarms、notes、memos、log、settings、tools）");
        return;
    }
    if (handlers_.showPage)
        handlers_.showPage(PageNumber(page));
}
