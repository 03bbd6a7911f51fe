#pragma once

#include <QObject>
#include <QSemaphore>
#include <QString>
#include <QThread>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "alarms/core/alarm_states.h"
#include "alarms/core/wake_chooser.h"
#include "platform/core/clock.h"
#include "platform/platform_services.h"
#include "storage/records.h"

class CClipSink;
class CRingController;
class CSecondTicker;
class CTimeVoice;
namespace zorvel {
class CStore;
}

// Alarms travel between the threads as copies, never as shared records.
using AlarmRecords = std::vector<AlarmClockRecord>;
Q_DECLARE_METATYPE(zorvel::RingSnapshot)
Q_DECLARE_METATYPE(AlarmRecords)

// What runs all day whether or not a window is open or answering: the alarm test with every
// alarm's state, the ring songs and effects, the chime on the hour and half hour with its
// voice, the rest reminder's count, the automatic deletion of expired alarms and the record of
// when the program was last seen. It has its own storage connection and second ticker, and
// talks to the windows by signals only; in the program it lives in a thread of its own, so a
// window that is slow or stuck delays a ring window, never an alarm's sound.
class CAlarmEngine : public QObject {
    Q_OBJECT
public:
    struct Parts {
        const zorvel::Clock* clock = nullptr;  // must outlive the engine
        PlatformServices platform;             // power, launcher, song players, data folders
        std::string databasePath;
        // The state folder (with a trailing '/'): last-seen and the pending snoozes; empty:
        // nothing kept.
        std::string stateDir;
        // Makes the voice's audio output, the first time the time is spoken.
        std::function<CClipSink*()> voiceSink;
    };

    explicit CAlarmEngine(Parts parts, QObject* parent = nullptr);
    ~CAlarmEngine() override;

    // The jobs, also callable with a given moment (tests drive them on a fake clock). Once a
    // second: the alarm test and the chime. Once a minute: the automatic deletion and the rest
    // count.
    void OnSecond(zorvel::TimePoint now);
    void OnMinute(std::time_t now);

    bool IsRunning() const { return running_; }
    const zorvel::CAlarmStates& states() const { return states_; }
    const SoftSetting& settings() const { return settings_; }
    CRingController& rings() { return *rings_; }
    const zorvel::RestCounter& restCounter() const { return rest_; }
    CSecondTicker& ticker() { return *ticker_; }
    zorvel::CStore& store() { return *store_; }
    CTimeVoice& voice();
    const zorvel::CWakeChooser* wake() const { return wake_.get(); }
    // The next minute an alarm (or a snooze) rings after `now`; nothing when none will.
    std::optional<std::time_t> NextRing(std::time_t now) const;

    // The window thread's heartbeat: the last moment (steady clock, ms) it answered. Written
    // from that thread; 0 until it beats, which leaves the stall watch off.
    std::atomic<std::int64_t> windowBeat{0};

public slots:
    // Loads the settings and the alarms, lists what came due while the program was not
    // running and starts the ticker. Runs once, after the clock is on screen.
    void Start();
    // Reads the alarms from storage again. AlarmsChanged does so only once the engine runs:
    // the first frame of the clock comes before any reading.
    void ReloadAlarms();
    void AlarmsChanged();
    // The settings as the settings service has them now (the shipped ones until then).
    void ApplySettings(const SoftSetting& settings);
    // What the user chose in a ring window.
    void SnoozeRing(quint64 ring, int hours, int minutes);
    void CloseRing(quint64 ring);
    void RingWindowShown(quint64 ring);
    // The user deleted this alarm (already gone from storage): out of the test at once.
    void AlarmDeletedByUser(const QString& id);
    // The rest reminder asked for by RestDue has been closed: the count starts afresh.
    void RestReminderClosed();
    void SpeakNow();
    // The setting "休眠时到点唤醒电脑" (kept in the state folder's choices).
    void SetWakeEnabled(bool on);
    // The session is about to sleep (true) or has woken (false).
    void PrepareForSleep(bool sleeping);

signals:
    // An alarm is due: open its ring window. Its song, if any, is already playing.
    void RingDue(const zorvel::RingSnapshot& ring);
    void ShakeRequested(quint64 ring);
    void RingError(quint64 ring, const QString& text);
    void ChimeDue(int hour, int minute);
    void RestDue();
    // The alarms as they may ring (snoozed ones at their snooze's time), after every change.
    void AlarmListChanged(const AlarmRecords& alarms);
    // The alarms could not be read; the list stays as it was.
    void ReloadFailed(const QString& error);
    // Alarms whose minute passed while nothing could ring them (the computer slept, the clock
    // jumped, the program was not running): to be listed, not rung.
    void AlarmsMissed(const AlarmRecords& alarms);
    // The engine wrote to this table (a zorvel::StoredTable).
    void Stored(int table);
    // Whether a wake-up can be armed here (a zorvel::CWakeChooser::Availability) and whether
    // the user wants it.
    void WakeStateChanged(int availability, bool enabled);

private:
    bool Reload();
    void PublishList();
    void SaveSnoozes();
    void RecordLastSeen(std::time_t now);
    void WatchWindowThread();
    void RearmWake();
    void RingEnded(std::uint64_t ring);

    Parts parts_;
    const zorvel::Clock& clock_;
    std::unique_ptr<zorvel::CStore> store_;
    std::unique_ptr<CSecondTicker> ticker_;
    std::unique_ptr<CRingController> rings_;
    std::unique_ptr<CTimeVoice> voice_;
    SoftSetting settings_;
    zorvel::CAlarmStates states_;
    zorvel::ChimeTrigger chime_;
    zorvel::RestCounter rest_;
    bool running_ = false;
    bool listStale_ = false;  // the last reading of the alarms failed (a locked file)
    zorvel::TimePoint staleSince_{};
    std::optional<std::time_t> awaySince_;  // last seen before a start that could not read
    zorvel::TimePoint nextMinuteJob_{};
    std::time_t lastSeenWritten_ = 0;
    std::int64_t stalledSince_ = 0;                  // the window thread's last beat before a stall
    std::unique_ptr<zorvel::IStateStore> ownState_;  // when the platform gives none
    zorvel::IStateStore* state_ = nullptr;
    std::unique_ptr<ISessionSleep> sleep_;
    std::unique_ptr<zorvel::CWakeChooser> wake_;
    bool wakeEnabled_ = true;
    std::set<std::uint64_t> openRings_;     // an idle suspend must not cut them short
    std::uint64_t scheduleGeneration_ = 0;  // of the holiday schedule the list was shown with
};

// The engine's thread: the engine is made, run and deleted in it.
class CAlarmEngineThread : public QThread {
    Q_OBJECT
public:
    explicit CAlarmEngineThread(CAlarmEngine::Parts parts);
    ~CAlarmEngineThread() override;
    // Starts the thread and returns once the engine exists.
    CAlarmEngine* StartEngine();

protected:
    void run() override;

private:
    CAlarmEngine::Parts parts_;
    std::atomic<CAlarmEngine*> engine_{nullptr};
    QSemaphore ready_;
};
