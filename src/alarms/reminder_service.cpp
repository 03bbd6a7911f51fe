#include "alarms/reminder_service.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <utility>

#include "platform/second_ticker.h"
#include "storage/clock_manager.h"
#include "widgets/change_notifier.h"

using namespace zorvel;

CReminderService::CReminderService(CStore& store, CChangeNotifier& notifier,
                                   const SettingsCache& cache, const Clock& clock,
                                   std::string stateFile, QObject* parent)
    : QObject(parent),
      store_(store),
      cache_(cache),
      clock_(clock),
      schedule_(clock.Now()),
      chime_(clock.Now()),
      stateFile_(std::move(stateFile)) {
    deleteLogger = [this](const DeletedAlarmInfo& info) {
        LogDeletedAlarm(store_.Manager(), info);
    };
    connect(&notifier, &CChangeNotifier::AlarmsChanged, this, &CReminderService::OnAlarmsChanged);
}

void CReminderService::Start(CSecondTicker& ticker) {
    if (running_)
        return;
    running_ = true;
    QString error;
    if (!ReloadAlarms(&error))
        std::fprintf(stderr, "zorvel: %s\n", error.toLocal8Bit().constData());
    // One-off alarms that came due while the program was not running are listed once.
    const std::time_t startedAt = clock_.NowTimeT();
    if (auto lastSeen = ReadLastSeen()) {
        if (listStale_) {
            awaySince_ = lastSeen;  // listed once the alarms can be read
        } else {
            AlarmClockList away = schedule_.DueWhileAway(*lastSeen);
            if (!away.empty())
                emit AlarmsMissed(away);
        }
    }
    RecordLastSeen(startedAt);
    constexpr auto kMinute = std::chrono::seconds(60);
    nextMinuteJob_ = clock_.Now() + kMinute;
    connect(&ticker, &CSecondTicker::Tick, this, [this, kMinute] {
        const TimePoint now = clock_.Now();
        OnSecond(now);
        // The minute jobs need no particular second; they share the ticker's wake-up. They
        // follow the clock rather than a count of ticks, since a late tick may stand for two
        // seconds; after a jump of the clock (either way) they count from now.
        if (now < nextMinuteJob_ - kMinute)
            nextMinuteJob_ = now + kMinute;
        if (now >= nextMinuteJob_) {
            nextMinuteJob_ =
                now - nextMinuteJob_ < kMinute ? nextMinuteJob_ + kMinute : now + kMinute;
            OnMinute(std::chrono::system_clock::to_time_t(now));
        }
    });
}

bool CReminderService::ReloadAlarms(QString* error) {
    AlarmClockList loaded;
    const TimePoint attempt = clock_.Now();  // a locked file answers only after a wait
    try {
        store_.Manager().GetAllAlarmClocks(loaded);
    } catch (const CppSQLite3Exception& e) {
        if (error)
            *error = QString::fromUtf8(e.errorMessage());
        if (!listStale_)
            staleSince_ = attempt;
        listStale_ = true;
        return false;
    }
    const bool wasStale = std::exchange(listStale_, false);
    stored_.clear();
    for (const AlarmClockPtr& a : loaded)
        stored_[a->id] = *a;
    ApplySnoozes(loaded);
    schedule_.ReloadAlarmList(std::move(loaded));
    if (wasStale)
        schedule_.CheckAgainSince(staleSince_);
    emit AlarmListReloaded();
    if (awaySince_) {
        AlarmClockList away = schedule_.DueWhileAway(*std::exchange(awaySince_, std::nullopt));
        if (!away.empty())
            emit AlarmsMissed(away);
    }
    return true;
}

void CReminderService::ApplySnoozes(AlarmClockList& loaded) {
    std::map<std::string, PendingSnooze> kept;
    for (const AlarmClockPtr& a : loaded) {
        auto snooze = snoozes_.find(a->id);
        if (snooze == snoozes_.end())
            continue;
        const AlarmClockRecord& was = snooze->second.asStored;
        // Changed since the snooze (an edit): the snooze ends with the old alarm.
        if (a->alarmTime != was.alarmTime || a->isEveryday != was.isEveryday ||
            a->isRing != was.isRing || a->content != was.content || a->ring != was.ring ||
            a->ringType != was.ringType)
            continue;
        a->alarmTime = snooze->second.until;
        kept.insert(*snooze);
    }
    // A one-off alarm taken out of storage as expired while its ring window was open stays
    // snoozed in memory until it has rung again.
    for (const auto& [id, snooze] : snoozes_) {
        if (kept.count(id) || !autoDeleted_.count(id))
            continue;
        auto back = std::make_shared<AlarmClockRecord>(snooze.asStored);
        back->alarmTime = snooze.until;
        loaded.push_back(back);
        kept.emplace(id, snooze);
    }
    // Alarms that are gone take their snoozes with them.
    snoozes_ = std::move(kept);
}

void CReminderService::Snooze(const std::string& alarmId, const std::string& until) {
    const AlarmClockRecord* asStored = nullptr;
    if (auto stored = stored_.find(alarmId); stored != stored_.end())
        asStored = &stored->second;
    else if (auto expired = autoDeleted_.find(alarmId); expired != autoDeleted_.end())
        asStored = &expired->second;  // deleted as expired while it rang: still wanted
    else
        return;  // deleted by the user meanwhile: nothing to ring again
    snoozes_[alarmId] = PendingSnooze{until, *asStored};
    // The window's record may no longer be the list's (the list was reloaded since it rang).
    bool listed = false;
    for (const AlarmClockPtr& a : schedule_.alarmList) {
        if (a->id == alarmId) {
            a->alarmTime = until;
            a->hasRung = false;
            listed = true;
        }
    }
    if (!listed) {
        auto back = std::make_shared<AlarmClockRecord>(*asStored);
        back->alarmTime = until;
        schedule_.alarmList.push_back(back);
    }
}

void CReminderService::OnAlarmsChanged() {
    // Before Start nothing reads storage: the first frame of the clock comes first.
    if (!running_)
        return;
    QString error;
    if (!ReloadAlarms(&error))
        std::fprintf(stderr, "zorvel: %s\n", error.toLocal8Bit().constData());
}

void CReminderService::OnSecond(TimePoint now) {
    // A jump of the clock (a resume from suspend) is told, not rung hours late.
    if (now - schedule_.previousCheck() > std::chrono::seconds(60)) {
        AlarmClockList missed = schedule_.MissedAlarms(now);
        if (!missed.empty())
            emit AlarmsMissed(missed);
    }
    AlarmClockList due = schedule_.CheckDueAlarms(now);
    bool snoozeEnded = false;
    for (const AlarmClockPtr& alarm : due) {
        emit AlarmDue(alarm);
        // A snooze ends when it has rung: the alarm keeps its own time again (the window
        // keeps showing the time it rang at).
        auto snooze = snoozes_.find(alarm->id);
        if (snooze != snoozes_.end() && alarm->alarmTime == snooze->second.until) {
            alarm->alarmTime = snooze->second.asStored.alarmTime;
            snoozes_.erase(snooze);
            snoozeEnded = true;
        }
    }
    if (snoozeEnded)
        emit AlarmListReloaded();  // the page shows the alarm's own time again
    if (!due.empty())
        RecordLastSeen(std::chrono::system_clock::to_time_t(now));
    if (auto chime = chime_.Tick(now, cache_.ZDBS != 0, cache_.BDBS != 0))
        emit ChimeDue(chime->hour, chime->minute);
}

void CReminderService::OnMinute(std::time_t now) {
    RecordLastSeen(now);
    // A list that could not be read (the file was locked at start-up or at a change) is read
    // again, or its alarms would never ring.
    if (listStale_) {
        QString error;
        if (!ReloadAlarms(&error))
            std::fprintf(stderr, "zorvel: %s\n", error.toLocal8Bit().constData());
    }
    // Every alarm in storage is in alarmList, so when it holds no one-off alarm that has
    // passed there is nothing to delete and no need to touch the file.
    if (MayHaveExpiredAlarms(schedule_.alarmList, now, autoDeletedIds_)) {
        // A snoozed alarm is still to ring: it goes once its snooze has rung.
        std::set<std::string> snoozed;
        for (const auto& [id, snooze] : snoozes_)
            snoozed.insert(id);
        try {
            for (std::string& id :
                 AutoDeleteExpiredAlarms(store_.Manager(), now, deleteLogger, snoozed)) {
                if (auto stored = stored_.find(id); stored != stored_.end())
                    autoDeleted_[id] = stored->second;
                autoDeletedIds_.insert(std::move(id));
            }
        } catch (const CppSQLite3Exception& e) {
            // A timer job tells no one; the next minute tries again.
            std::fprintf(stderr, "zorvel: %s\n", e.errorMessage());
        }
    }
    if (rest_.Tick(cache_.isRestRemind, cache_.restRemindInterval)) {
        rest_.ReminderShown();
        emit RestDue();
    }
}

CReminderService::~CReminderService() {
    if (running_)
        RecordLastSeen(clock_.NowTimeT());
}

std::optional<std::time_t> CReminderService::ReadLastSeen() const {
    if (stateFile_.empty())
        return std::nullopt;
    std::ifstream in(stateFile_);
    long long seconds = 0;
    if (!(in >> seconds) || seconds <= 0)
        return std::nullopt;
    return static_cast<std::time_t>(seconds);
}

void CReminderService::RecordLastSeen(std::time_t now) {
    if (stateFile_.empty() || now == lastSeenWritten_)
        return;
    lastSeenWritten_ = now;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(stateFile_).parent_path(), ec);
    // Overwritten in place with one write of a fixed width, so a crash never leaves half a
    // number behind. (A new file renamed over the old one each minute made the file system
    // flush to disk every minute.)
    char line[32];
    const int length = std::snprintf(line, sizeof line, "%-20lld\n", static_cast<long long>(now));
    const int fd = ::open(stateFile_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    if (::pwrite(fd, line, static_cast<size_t>(length), 0) != length)
        lastSeenWritten_ = 0;  // tried again next time
    ::close(fd);
}

void CReminderService::RestReminderClosed() {
    rest_.ReminderClosed();
}

bool CReminderService::DeleteAlarmByUser(const std::string& id) {
    bool removed = zorvel::DeleteAlarmByUser(store_.Manager(), id, deleteLogger);
    // Out of the test at once, not only when the change comes round, and no longer snoozed.
    schedule_.RemoveFromList(id);
    snoozes_.erase(id);
    autoDeleted_.erase(id);
    return removed;
}
