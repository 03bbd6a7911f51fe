#include "alarms/alarm_engine.h"

#include <QMetaType>

#include "alarms/core/alarm_operations.h"
#include "alarms/core/alarm_time.h"
#include "alarms/ring_controller.h"
#include "calendar/holiday_schedule.h"
#include "chimes/time_voice.h"
#include "platform/clip_sink.h"
#include "platform/second_ticker.h"
#include "settings/core/soft_settings.h"
#include "storage/clock_manager.h"
#include "storage/storage_error.h"

using namespace zorvel;

namespace {
AlarmRecords Values(const AlarmClockList& list) {
    AlarmRecords values;
    values.reserve(list.size());
    for (const AlarmClockPtr& a : list)
        values.push_back(*a);
    return values;
}

std::int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A window thread that has not answered for this long is reported once it answers again.
constexpr std::int64_t kStallMs = 2000;
}  // namespace

CAlarmEngine::CAlarmEngine(Parts parts, QObject* parent)
    : QObject(parent),
      parts_(std::move(parts)),
      clock_(*parts_.clock),
      store_(std::make_unique<CStore>(parts_.databasePath, clock_)),
      ticker_(std::make_unique<CSecondTicker>()),
      settings_(ShippedSoftSetting()),
      states_(clock_.Now()),
      chime_(clock_.Now()) {
    scheduleGeneration_ = HolidayScheduleGeneration();
    if (!parts_.platform.state)
        ownState_ = std::make_unique<CStateFiles>(parts_.stateDir);
    state_ = parts_.platform.state ? parts_.platform.state : ownState_.get();
    qRegisterMetaType<zorvel::RingSnapshot>();
    qRegisterMetaType<AlarmRecords>();
    rings_ = std::make_unique<CRingController>(parts_.platform, clock_,
                                               [this] { return settings_.ringPlayType; });
    connect(rings_.get(), &CRingController::ShakeRequested, this, &CAlarmEngine::ShakeRequested);
    connect(rings_.get(), &CRingController::RingError, this, &CAlarmEngine::RingError);
    store_->Database().SetWriteListener(
        [this](StoredTable table) { emit Stored(static_cast<int>(table)); });
    store_->Database().SetLostFileListener([](const std::string& path) {
        qCWarning(lcAlarms) << "the data file went away and is made anew:" << path.c_str();
    });
    connect(ticker_.get(), &CSecondTicker::Tick, this, [this] {
        constexpr auto kMinute = std::chrono::seconds(60);
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
    // Made here, so that they live in the engine's thread and answer there.
    if (parts_.platform.sessionSleep) {
        sleep_ = parts_.platform.sessionSleep();
        if (sleep_)
            sleep_->SetSleepHandler([this](bool sleeping) { PrepareForSleep(sleeping); });
    }
    std::vector<std::unique_ptr<IWakeWay>> ways;
    if (parts_.platform.wakeWays)
        ways = parts_.platform.wakeWays();
    wake_ = std::make_unique<CWakeChooser>(std::move(ways));
    wake_->onAvailability = [this](CWakeChooser::Availability a) {
        emit WakeStateChanged(static_cast<int>(a), wakeEnabled_);
    };
}

CAlarmEngine::~CAlarmEngine() {
    ticker_->Stop();
    wake_.reset();  // disarmed: a program that has ended rings nothing
    sleep_.reset();
    if (running_)
        RecordLastSeen(clock_.NowTimeT());
    rings_.reset();
    voice_.reset();
    store_->Database().SetWriteListener(nullptr);
    store_->Database().SetLostFileListener(nullptr);
}

CTimeVoice& CAlarmEngine::voice() {
    if (!voice_) {
        CClipSink* sink = parts_.voiceSink ? parts_.voiceSink() : nullptr;
        voice_ = std::make_unique<CTimeVoice>(sink, clock_, parts_.platform.dataDirs);
    }
    return *voice_;
}

void CAlarmEngine::Start() {
    if (running_)
        return;
    running_ = true;
    // Snoozes of the last run whose time passed meanwhile are listed with what came due.
    AlarmClockList missed = states_.RestoreSnoozes(state_->ReadSnoozes());
    Reload();
    const std::time_t startedAt = clock_.NowTimeT();
    if (auto lastSeen = state_->ReadLastSeen()) {
        if (listStale_) {
            awaySince_ = lastSeen;  // listed once the alarms can be read
        } else {
            for (AlarmClockPtr& a : states_.DueWhileAway(*lastSeen))
                missed.push_back(std::move(a));
        }
    }
    if (!missed.empty())
        emit AlarmsMissed(Values(missed));
    SaveSnoozes();
    RecordLastSeen(startedAt);
    nextMinuteJob_ = clock_.Now() + std::chrono::seconds(60);
    ticker_->Start();
    if (sleep_)
        sleep_->HoldSleepDelay(true);
    wakeEnabled_ = state_->ReadChoice("wakeFromSleep").value_or("1") != "0";
    emit WakeStateChanged(static_cast<int>(wake_->availability()), wakeEnabled_);
    wake_->SetEnabled(wakeEnabled_, clock_.NowTimeT());
    RearmWake();
}

void CAlarmEngine::ReloadAlarms() {
    Reload();
}

void CAlarmEngine::AlarmsChanged() {
    if (running_)
        Reload();
}

bool CAlarmEngine::Reload() {
    AlarmClockList loaded;
    const TimePoint attempt = clock_.Now();  // a locked file answers only after a wait
    try {
        store_->Manager().GetAllAlarmClocks(loaded);
    } catch (const CppSQLite3Exception& e) {
        qCWarning(lcAlarms) << e.errorMessage();
        if (!listStale_)
            staleSince_ = attempt;
        listStale_ = true;
        emit ReloadFailed(QString::fromStdString(DescribeStorageError(e)));
        return false;
    }
    const bool wasStale = std::exchange(listStale_, false);
    states_.Load(loaded);
    if (wasStale)
        states_.CheckAgainSince(staleSince_);
    PublishList();
    SaveSnoozes();
    if (awaySince_) {
        AlarmClockList away = states_.DueWhileAway(*std::exchange(awaySince_, std::nullopt));
        if (!away.empty())
            emit AlarmsMissed(Values(away));
    }
    return true;
}

void CAlarmEngine::ApplySettings(const SoftSetting& settings) {
    settings_ = settings;
}

void CAlarmEngine::PublishList() {
    emit AlarmListChanged(Values(states_.alarmList()));
    RearmWake();
}

std::optional<std::time_t> CAlarmEngine::NextRing(std::time_t now) const {
    std::optional<std::time_t> next;
    for (const AlarmClockPtr& a : states_.alarmList()) {
        auto minute = AlarmMinuteAfter(*a, now);
        if (minute && (!next || *minute < *next))
            next = minute;
    }
    return next;
}

void CAlarmEngine::RearmWake() {
    if (!running_)
        return;
    const std::time_t now = clock_.NowTimeT();
    wake_->Want(NextRing(now), now);
}

void CAlarmEngine::SetWakeEnabled(bool on) {
    wakeEnabled_ = on;
    if (!state_->WriteChoice("wakeFromSleep", on ? "1" : "0") && !state_->Where().empty())
        qCWarning(lcAlarms) << "cannot write the choices in" << state_->Where().c_str();
    wake_->SetEnabled(on, clock_.NowTimeT());
    emit WakeStateChanged(static_cast<int>(wake_->availability()), wakeEnabled_);
}

void CAlarmEngine::PrepareForSleep(bool sleeping) {
    if (!running_)
        return;
    const std::time_t now = clock_.NowTimeT();
    if (sleeping) {
        // Written now, whatever was written before: the next thing may be a flat battery.
        lastSeenWritten_ = 0;
        RecordLastSeen(now);
        state_->WriteSnoozes(states_.Snoozes());
        states_.TakeSnoozesChanged();
        if (sleep_)
            sleep_->HoldSleepDelay(false);
        return;
    }
    if (sleep_)
        sleep_->HoldSleepDelay(true);
    // What passed while asleep is listed now rather than at the next tick; an alarm the wake-up
    // was armed for is still ahead and rings on time.
    OnSecond(clock_.Now());
    wake_->Refresh(now);
    RearmWake();
}

void CAlarmEngine::RingEnded(std::uint64_t ring) {
    openRings_.erase(ring);
    if (openRings_.empty() && sleep_)
        sleep_->HoldIdleBlock(false);
}

void CAlarmEngine::SaveSnoozes() {
    if (!states_.TakeSnoozesChanged() || state_->Where().empty())
        return;
    if (!state_->WriteSnoozes(states_.Snoozes()))
        qCWarning(lcAlarms) << "cannot write the snoozes in" << state_->Where().c_str();
}

void CAlarmEngine::OnSecond(TimePoint now) {
    WatchWindowThread();
    // A new holiday schedule moves the rings of the rule alarms: the test works them out
    // afresh, and the page shows the new next rings.
    if (const std::uint64_t generation = HolidayScheduleGeneration();
        generation != scheduleGeneration_) {
        scheduleGeneration_ = generation;
        if (running_)
            PublishList();
    }
    CAlarmStates::TickResult result = states_.Tick(now);
    if (!result.missed.empty())
        emit AlarmsMissed(Values(result.missed));
    for (const RingSnapshot& ring : result.due) {
        // The sound first: the window follows when the window thread is free.
        rings_->Start(ring);
        emit RingDue(ring);
        openRings_.insert(ring.ring);
        if (sleep_)
            sleep_->HoldIdleBlock(true);
    }
    if (result.listChanged)
        PublishList();  // the page shows the alarm's own time again
    SaveSnoozes();
    if (!result.due.empty()) {
        RecordLastSeen(std::chrono::system_clock::to_time_t(now));
        RearmWake();  // the next occurrence is now a later one
    }
    if (auto chime = chime_.Tick(now, settings_.ZDBS != 0, settings_.BDBS != 0)) {
        emit ChimeDue(chime->hour, chime->minute);
        voice().Start(chime->hour, chime->minute);
    }
}

void CAlarmEngine::OnMinute(std::time_t now) {
    RecordLastSeen(now);
    RearmWake();
    // A list that could not be read (the file was locked at start-up or at a change) is read
    // again, or its alarms would never ring.
    if (listStale_)
        Reload();
    // Every alarm in storage is in the list, so when it holds no one-off alarm that has passed
    // there is nothing to delete and no need to touch the file.
    if (settings_.isAutoDelAlarmClock &&
        MayHaveExpiredAlarms(states_.alarmList(), now, states_.deletedAsExpiredIds())) {
        try {
            states_.DeletedAsExpired(
                AutoDeleteExpiredAlarms(store_->Manager(), now, states_.SnoozedIds()));
        } catch (const CppSQLite3Exception& e) {
            // A timer job tells no one; the next minute tries again.
            qCWarning(lcAlarms) << e.errorMessage();
        }
    }
    if (rest_.Tick(settings_.isRestRemind, settings_.restRemindInterval)) {
        rest_.ReminderShown();
        emit RestDue();
    }
}

void CAlarmEngine::SnoozeRing(quint64 ring, int hours, int minutes) {
    rings_->Stop(ring);
    RingEnded(ring);
    if (auto until = states_.Snooze(ring, hours, minutes, clock_.NowTimeT())) {
        qCInfo(lcAlarms).noquote() << "snoozed until" << QString::fromStdString(*until);
        PublishList();
    }
    SaveSnoozes();
}

void CAlarmEngine::CloseRing(quint64 ring) {
    rings_->Stop(ring);
    RingEnded(ring);
    states_.Close(ring);
}

void CAlarmEngine::RingWindowShown(quint64 ring) {
    rings_->WindowShown(ring);
}

void CAlarmEngine::AlarmDeletedByUser(const QString& id) {
    // No list goes out: the page has removed its row, and the change of storage brings a
    // reload of its own.
    states_.DeletedByUser(id.toStdString());
    SaveSnoozes();
}

void CAlarmEngine::RestReminderClosed() {
    rest_.ReminderClosed();
}

void CAlarmEngine::SpeakNow() {
    voice().StartNow();
}

void CAlarmEngine::RecordLastSeen(std::time_t now) {
    if (state_->Where().empty() || now == lastSeenWritten_)
        return;
    lastSeenWritten_ = state_->WriteLastSeen(now) ? now : 0;
}

void CAlarmEngine::WatchWindowThread() {
    const std::int64_t beat = windowBeat.load();
    if (beat == 0)
        return;
    if (SteadyMs() - beat > kStallMs) {
        if (stalledSince_ == 0)
            stalledSince_ = beat;
    } else if (stalledSince_ != 0) {
        qCWarning(lcAlarms).noquote()
            << QStringLiteral("window thread stalled for %1 s")
                   .arg(static_cast<double>(beat - stalledSince_) / 1000.0, 0, 'f', 1);
        stalledSince_ = 0;
    }
}

// ---------------------------------------------------------------- thread

CAlarmEngineThread::CAlarmEngineThread(CAlarmEngine::Parts parts) : parts_(std::move(parts)) {
    setObjectName(QStringLiteral("zorvel-alarms"));
}

CAlarmEngineThread::~CAlarmEngineThread() {
    quit();
    wait();
}

CAlarmEngine* CAlarmEngineThread::StartEngine() {
    start();
    ready_.acquire();
    return engine_.load();
}

void CAlarmEngineThread::run() {
    CAlarmEngine engine(parts_);
    engine_.store(&engine);
    ready_.release();
    exec();  // the engine thread's own event loop, until the context ends it
    engine_.store(nullptr);
}
