#pragma once

#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <functional>
#include <string>

#include "platform/core/clock.h"

namespace zorvel {
class CStore;
struct ScriptOutcome;
}  // namespace zorvel

// Zorvel on the session bus: org.zorvel.Zorvel, object /org/zorvel/Zorvel, interface
// org.zorvel.Zorvel1 (res/org.zorvel.Zorvel1.xml). Scripts and `zorvel alarm …` reach the
// running program here, so its lists change at once and no second copy opens the file. Every
// method checks its arguments and answers an error naming what was wrong; with password
// protection on, a method that changes or deletes an existing alarm takes the password.
class CScriptBus : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.zorvel.Zorvel1")

public:
    static constexpr const char* kService = "org.zorvel.Zorvel";
    static constexpr const char* kPath = "/org/zorvel/Zorvel";
    static constexpr const char* kInterface = "org.zorvel.Zorvel1";

    struct Handlers {
        zorvel::CStore* store = nullptr;
        const zorvel::Clock* clock = nullptr;
        // The settings row's password, when password protection is on; "" when it is off.
        std::function<std::string()> requiredPassword;
        // Act on the ringing alarm with this id as its window's buttons do; false when it is
        // not ringing.
        std::function<bool(const std::string& id)> snooze;
        std::function<bool(const std::string& id)> dismiss;
        // Opens a page of the main window, by the number PageNumber gives.
        std::function<void(int page)> showPage;
    };

    explicit CScriptBus(Handlers handlers, QObject* parent = nullptr);
    // The main window's pages by the names scripts use, in tab order: alarms, notes, memos,
    // log, settings, tools; -1 for any other name.
    static int PageNumber(const QString& page);
    // Takes the name and exports the object on the session bus; false (and a line on the
    // error output) when there is no bus or the name is taken.
    bool Register();

    // Told by the program, for the bus's listeners.
    void TellRinging(const std::string& id, const std::string& time, const std::string& text);
    void TellAlarmsChanged();

public slots:
    QString AddAlarm(const QString& at, const QString& text, const QString& repeat,
                     const QString& ring);
    QString ListAlarms();
    void DeleteAlarm(const QString& id, const QString& password);
    QString SkipNext(const QString& id, const QString& password);
    void Snooze(const QString& id);
    void Dismiss(const QString& id);
    QString AddNote(const QString& text);
    void ShowPage(const QString& page);

signals:
    void AlarmRinging(const QString& id, const QString& time, const QString& text);
    void AlarmsChanged();

private:
    void Refuse(const char* error, const std::string& message);
    // The id of what `store` made, or an error with its reason.
    QString Stored(const std::function<zorvel::ScriptOutcome()>& store);
    // Runs `change` after the password is checked away from this thread (a check takes a
    // noticeable fraction of a second), answering the call when it is done.
    void AfterPassword(const QString& password, std::function<QDBusMessage(QDBusMessage)> change);

    Handlers handlers_;
};
