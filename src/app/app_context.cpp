#include "app/app_context.h"

#include <cstdio>

#include "alarms/alarm_dlg.h"
#include "alarms/missed_alarms_dlg.h"
#include "alarms/reminder_service.h"
#include "chimes/clip_sink.h"
#include "chimes/rest_remind.h"
#include "chimes/time_voice.h"
#include "notes/shown_notes.h"
#include "platform/second_ticker.h"
#include "storage/clock_manager.h"
#include "widgets/change_notifier.h"
#include "widgets/storage_action.h"

CAppContext::CAppContext(Parts parts)
    : parts_(std::move(parts)),
      clock_(*parts_.clock),
      store_(std::make_unique<zorvel::CStore>(parts_.databasePath, clock_)),
      notifier_(std::make_unique<CChangeNotifier>()),
      ticker_(std::make_unique<CSecondTicker>()) {
    store_->Database().SetWriteListener(
        [notifier = notifier_.get()](zorvel::StoredTable table) { notifier->Raise(table); });
    store_->Database().SetLostFileListener([](const std::string& path) {
        zorvel::ShowStorageError(
            nullptr, QStringLiteral("数据文件已丢失，已重新创建：") + QString::fromStdString(path));
    });
    reminders_ = std::make_unique<CReminderService>(*store_, *notifier_, settings_, clock_,
                                                    parts_.stateFile);
    shownNotes_ = std::make_unique<CShownNotes>(*store_, clock_, parts_.platform.shell);

    QObject::connect(reminders_.get(), &CReminderService::AlarmDue, reminders_.get(),
                     [this](const AlarmClockPtr& alarm) { OpenRingWindow(alarm); });
    QObject::connect(reminders_.get(), &CReminderService::AlarmsMissed, reminders_.get(),
                     [this](const AlarmClockList& alarms) { ShowMissedAlarms(alarms); });
    QObject::connect(reminders_.get(), &CReminderService::ChimeDue, reminders_.get(),
                     [this](int hour, int minute) { voice().Start(hour, minute); });
    QObject::connect(reminders_.get(), &CReminderService::RestDue, reminders_.get(),
                     [this] { ShowRestReminder(); });
    // Whoever changed the settings, the timers read them from the cache.
    QObject::connect(notifier_.get(), &CChangeNotifier::SettingsChanged, notifier_.get(), [this] {
        try {
            LoadSettingsCache(settings_, store_->Database());
        } catch (const CppSQLite3Exception& e) {
            std::fprintf(stderr, "zorvel: %s\n", e.errorMessage());
        }
    });
}

CAppContext::~CAppContext() {
    // Signals of the store's last writes have nobody left to reach.
    store_->Database().SetWriteListener(nullptr);
    store_->Database().SetLostFileListener(nullptr);
    delete missedNotice_.data();
}

void CAppContext::Start() {
    if (started_)
        return;
    started_ = true;
    // The file is opened here: a file that cannot be read is named to the user once. The
    // cache keeps its defaults and the program goes on.
    zorvel::RunStorageAction(nullptr, [this] { LoadSettingsCache(settings_, store_->Database()); });
    ticker_->Start();
    reminders_->Start(*ticker_);
    shownNotes_->ShowStoredNotes();
}

CTimeVoice& CAppContext::voice() {
    if (!voice_) {
        CClipSink* sink = parts_.voiceSink ? parts_.voiceSink() : nullptr;
        voice_ = std::make_unique<CTimeVoice>(sink, clock_, parts_.platform.dataDirs);
    }
    return *voice_;
}

void CAppContext::OpenRingWindow(const AlarmClockPtr& alarm) {
    const std::time_t minute = clock_.NowTimeT() / 60;
    ringsThisMinute_ = minute == ringMinute_ ? ringsThisMinute_ + 1 : 0;
    ringMinute_ = minute;
    CAlarmDlg* window =
        ::OpenRingWindow(alarm, parts_.platform, store_->Database(), clock_, ringsThisMinute_);
    QObject::connect(window, &CAlarmDlg::Snoozed, reminders_.get(),
                     [reminders = reminders_.get()](const QString& id, const QString& until) {
                         reminders->Snooze(id.toStdString(), until.toStdString());
                     });
}

void CAppContext::ShowMissedAlarms(const AlarmClockList& alarms) {
    if (!missedNotice_)
        missedNotice_ = new CMissedAlarmsDlg;
    missedNotice_->Add(alarms);
}

void CAppContext::ShowRestReminder() {
    ShowRestRemind([reminders = reminders_.get()] { reminders->RestReminderClosed(); });
}
