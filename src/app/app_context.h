#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QPointer>
#include <ctime>

#include "platform/core/clock.h"
#include "platform/platform_services.h"
#include "storage/records.h"
#include "storage/settings_cache.h"

class CChangeNotifier;
class CMissedAlarmsDlg;
class CClipSink;
class CReminderService;
class CSecondTicker;
class CShownNotes;
class CTimeVoice;
namespace zorvel {
class CStore;
}

// Everything that lives as long as the program: the clock, the platform services, the store
// with its one connection, the settings cache, the change notifier, the second ticker, the
// voice, the reminder service and the notes on the desktop. CZorvelApp::Run builds one;
// windows get from it what they need through their constructors. Tests build one on fakes.
class CAppContext {
public:
    struct Parts {
        const zorvel::Clock* clock = nullptr;  // must outlive the context
        PlatformServices platform;
        std::string databasePath;
        // Where the last moment the program was running is kept (see CReminderService);
        // empty: not kept.
        std::string stateFile;
        // Makes the voice's audio output, the first time the time is spoken.
        std::function<CClipSink*()> voiceSink;
    };

    explicit CAppContext(Parts parts);
    ~CAppContext();
    CAppContext(const CAppContext&) = delete;
    CAppContext& operator=(const CAppContext&) = delete;

    // The start-up work that reads storage (and so keys the file): the settings cache, the
    // alarm list, the ticker and the reminder jobs, then the stored notes on the desktop. Runs
    // once, after the clock's first frame.
    void Start();
    bool IsStarted() const { return started_; }

    const zorvel::Clock& clock() const { return clock_; }
    const PlatformServices& platform() const { return parts_.platform; }
    zorvel::CStore& store() { return *store_; }
    SettingsCache& settings() { return settings_; }
    CChangeNotifier& notifier() { return *notifier_; }
    CSecondTicker& ticker() { return *ticker_; }
    CReminderService& reminders() { return *reminders_; }
    CShownNotes& shownNotes() { return *shownNotes_; }
    // Made on first use, so a program that never speaks never loads the audio system.
    CTimeVoice& voice();

private:
    void ShowRestReminder();
    void OpenRingWindow(const AlarmClockPtr& alarm);
    void ShowMissedAlarms(const AlarmClockList& alarms);

    Parts parts_;
    const zorvel::Clock& clock_;
    std::unique_ptr<zorvel::CStore> store_;
    SettingsCache settings_;
    std::unique_ptr<CChangeNotifier> notifier_;
    std::unique_ptr<CSecondTicker> ticker_;
    std::unique_ptr<CTimeVoice> voice_;
    std::unique_ptr<CReminderService> reminders_;
    std::unique_ptr<CShownNotes> shownNotes_;
    bool started_ = false;
    // Ring windows of one minute open cascaded.
    std::time_t ringMinute_ = 0;
    int ringsThisMinute_ = 0;
    QPointer<CMissedAlarmsDlg> missedNotice_;
};
