#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include <QPointer>
#include <ctime>

#include "alarms/core/alarm_states.h"
#include "platform/core/clock.h"
#include "platform/platform_services.h"
#include "storage/records.h"

class CAlarmBoard;
class CBrowserWindows;
class CAlarmDlg;
class CAlarmEngine;
class CAlarmEngineThread;
class CChangeNotifier;
class CMissedAlarmsDlg;
class CSettingsService;
class CSecondTicker;
class CShownNotes;
namespace zorvel {
class CStore;
}

// Everything that lives as long as the program: the clock, the platform services, the store
// with the windows' connection, the settings service, the change notifier, the windows' second
// ticker, the alarm engine (with its board on this side) and the notes on the desktop.
// CZorvelApp::Run builds one; windows get from it what they need through their constructors.
// Tests build one on fakes, with the engine in the window thread so they can drive it.
class CAppContext {
public:
    struct Parts {
        const zorvel::Clock* clock = nullptr;  // must outlive the context
        PlatformServices platform;
        std::string databasePath;
        // Where the engine keeps the last moment the program was running and the pending
        // snoozes (a folder, with a trailing '/'); empty: not kept.
        std::string stateDir;
        // The alarm engine in a thread of its own (the program), or in this one (tests).
        bool engineThread = false;
    };

    explicit CAppContext(Parts parts);
    ~CAppContext();
    CAppContext(const CAppContext&) = delete;
    CAppContext& operator=(const CAppContext&) = delete;

    // The start-up work that reads storage (and so keys the file): the settings, the
    // alarm list, the ticker and the reminder jobs, then the stored notes on the desktop. Runs
    // once, after the clock's first frame.
    void Start();
    bool IsStarted() const { return started_; }

    const zorvel::Clock& clock() const { return clock_; }
    const PlatformServices& platform() const { return parts_.platform; }
    zorvel::CStore& store() { return *store_; }
    CSettingsService& settings() { return *settings_; }
    CChangeNotifier& notifier() { return *notifier_; }
    CSecondTicker& ticker() { return *ticker_; }
    // The window thread's side of the alarm engine.
    CAlarmBoard& alarms() { return *board_; }
    // The engine itself: to be called only when it shares this thread (tests).
    CAlarmEngine& engine() { return *engine_; }
    CShownNotes& shownNotes() { return *shownNotes_; }
    // Snoozes (with the delay its window shows) or closes every ring window of this alarm, as
    // their buttons do; false when none is open.
    bool AnswerRing(const std::string& alarmId, bool snooze);
    // The built-in browser's windows, for the whole run: they stay open when the main window
    // that opened them is closed and destroyed.
    CBrowserWindows& browsers();
    // After the file's contents were replaced (a restore): the settings, the alarms, the notes
    // on the desktop and every page read it again.
    void ReloadAll();
    // Speaks the current time (the engine's voice).
    void SpeakNow();

private:
    void ShowRestReminder();
    void OpenRingWindow(const zorvel::RingSnapshot& ring);
    void ShowMissedAlarms(const AlarmClockList& alarms);
    void PostRingNotice(CAlarmDlg* window, const zorvel::RingSnapshot& ring);
    void PostMissedNotice(const AlarmClockList& alarms);
    CAlarmDlg* RingWindow(quint64 ring) const;

    Parts parts_;
    const zorvel::Clock& clock_;
    std::unique_ptr<zorvel::CStore> store_;
    std::unique_ptr<CSettingsService> settings_;
    std::unique_ptr<CBrowserWindows> browsers_;  // made when first wanted
    std::unique_ptr<CChangeNotifier> notifier_;
    std::unique_ptr<CSecondTicker> ticker_;
    std::unique_ptr<CAlarmEngineThread> engineThread_;
    std::unique_ptr<CAlarmEngine> ownEngine_;  // when it shares this thread
    CAlarmEngine* engine_ = nullptr;
    std::unique_ptr<CAlarmBoard> board_;
    std::map<quint64, QPointer<CAlarmDlg>> ringWindows_;
    std::unique_ptr<CShownNotes> shownNotes_;
    bool started_ = false;
    // Ring windows of one minute open cascaded.
    std::time_t ringMinute_ = 0;
    int ringsThisMinute_ = 0;
    QPointer<CMissedAlarmsDlg> missedNotice_;
    AlarmClockList missedListed_;  // what the notice shows, to show again from the desktop
    quint64 missedPosted_ = 0;     // the desktop notice of the missed alarms
};
