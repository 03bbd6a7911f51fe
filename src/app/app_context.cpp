#include "app/app_context.h"
#include "tools/browser_windows.h"

#include <cstdio>

#include "alarms/alarm_board.h"
#include "alarms/alarm_dlg.h"
#include "alarms/alarm_engine.h"
#include "alarms/core/alarm_time.h"
#include "alarms/missed_alarms_dlg.h"
#include "app/change_notifier.h"
#include "chimes/rest_remind.h"
#include "notes/shown_notes.h"
#include "platform/clip_sink.h"
#include "platform/second_ticker.h"
#include "settings/holiday_update.h"
#include "settings/settings_service.h"
#include "storage/clock_manager.h"
#include "widgets/storage_action.h"
#include "widgets/stored_text.h"

CAppContext::CAppContext(Parts parts)
    : parts_(std::move(parts)),
      clock_(*parts_.clock),
      store_(std::make_unique<zorvel::CStore>(parts_.databasePath, clock_)),
      settings_(std::make_unique<CSettingsService>(store_->Database())),
      notifier_(std::make_unique<CChangeNotifier>()),
      ticker_(std::make_unique<CSecondTicker>()) {
    store_->Database().SetWriteListener(
        [notifier = notifier_.get(), settings = settings_.get()](zorvel::StoredTable table) {
            // A write to the row made around the service (a test, an older code path) is read
            // again, so the service never holds values the file does not.
            if (table == zorvel::StoredTable::kSettings && !settings->IsWriting())
                settings->Invalidate();
            notifier->Raise(table);
        });
    store_->Database().SetLostFileListener([](const std::string& path) {
        zorvel::ShowStorageError(
            nullptr, QStringLiteral("数据文件已丢失，已重新创建：") + QString::fromStdString(path));
    });

    CAlarmEngine::Parts engineParts;
    engineParts.clock = &clock_;
    engineParts.platform = parts_.platform;
    engineParts.databasePath = parts_.databasePath;
    engineParts.stateDir = parts_.stateDir;
    engineParts.voiceSink = parts_.platform.voiceSink;
    if (parts_.engineThread) {
        engineThread_ = std::make_unique<CAlarmEngineThread>(std::move(engineParts));
        engine_ = engineThread_->StartEngine();
    } else {
        ownEngine_ = std::make_unique<CAlarmEngine>(std::move(engineParts));
        engine_ = ownEngine_.get();
    }
    board_ = std::make_unique<CAlarmBoard>(*engine_);
    shownNotes_ = std::make_unique<CShownNotes>(*store_, clock_, parts_.platform.shell, *notifier_);

    // What the engine asks of the windows arrives here, in the window thread.
    CAlarmBoard* board = board_.get();
    QObject::connect(engine_, &CAlarmEngine::RingDue, board,
                     [this](const zorvel::RingSnapshot& ring) { OpenRingWindow(ring); });
    QObject::connect(engine_, &CAlarmEngine::ShakeRequested, board, [this](quint64 ring) {
        if (CAlarmDlg* window = RingWindow(ring))
            window->Shake();
    });
    QObject::connect(engine_, &CAlarmEngine::RingError, board,
                     [this](quint64 ring, const QString& text) {
                         if (CAlarmDlg* window = RingWindow(ring))
                             window->ShowSongError(text);
                     });
    QObject::connect(engine_, &CAlarmEngine::AlarmsMissed, board,
                     [this](const AlarmRecords& alarms) {
                         AlarmClockList list;
                         for (const AlarmClockRecord& a : alarms)
                             list.push_back(std::make_shared<AlarmClockRecord>(a));
                         ShowMissedAlarms(list);
                     });
    QObject::connect(engine_, &CAlarmEngine::RestDue, board, [this] { ShowRestReminder(); });
    QObject::connect(engine_, &CAlarmEngine::Stored, notifier_.get(),
                     [notifier = notifier_.get()](int table) {
                         notifier->Raise(static_cast<zorvel::StoredTable>(table));
                     });
    // Whoever changed the alarms, the engine reads them again; each new set of settings
    // reaches it as a copy.
    QObject::connect(notifier_.get(), &CChangeNotifier::AlarmsChanged, engine_,
                     &CAlarmEngine::AlarmsChanged);
    QObject::connect(settings_.get(), &CSettingsService::Changed, engine_,
                     &CAlarmEngine::ApplySettings);
    QObject::connect(notifier_.get(), &CChangeNotifier::SettingsChanged, settings_.get(),
                     &CSettingsService::Refresh);
}

CAppContext::~CAppContext() {
    // Signals of the store's last writes have nobody left to reach.
    store_->Database().SetWriteListener(nullptr);
    store_->Database().SetLostFileListener(nullptr);
    delete missedNotice_.data();
    if (missedPosted_ != 0 && parts_.platform.notifier)
        parts_.platform.notifier->Withdraw(missedPosted_);
    for (auto& [ring, window] : ringWindows_)
        delete window.data();
    // What the windows told the engine last (a snooze pressed just before "退出") is carried
    // out before its thread ends; then the engine goes before the board it talks to.
    if (engineThread_)
        QMetaObject::invokeMethod(
            engine_, [] {}, Qt::BlockingQueuedConnection);
    QObject::disconnect(engine_, nullptr, board_.get(), nullptr);
    QObject::disconnect(engine_, nullptr, notifier_.get(), nullptr);
    engineThread_.reset();
    ownEngine_.reset();
}

void CAppContext::Start() {
    if (started_)
        return;
    started_ = true;
    // The file is opened here: a file that cannot be read is named to the user once. The
    // settings keep the shipped values and the program goes on.
    bool readOnly = false;
    if (zorvel::RunStorageAction(nullptr,
                                 [&] {
                                     settings_->Load();
                                     readOnly = store_->Database().IsReadOnly();
                                 }) &&
        readOnly) {
        // Said now, once, rather than first when something typed cannot be saved.
        zorvel::ShowWarning(nullptr, QStringLiteral("数据文件是只读的，所做的修改都无法保存：\n") +
                                         QString::fromStdString(store_->Database().Path()));
    }
    // Holiday schedules published after this release, before the engine plans any ring.
    LoadHolidayFiles(parts_.databasePath);
    ticker_->Start();
    QMetaObject::invokeMethod(engine_, &CAlarmEngine::Start, Qt::AutoConnection);
    if (engineThread_)
        board_->StartHeartbeat();
    shownNotes_->ShowStoredNotes();
}

CBrowserWindows& CAppContext::browsers() {
    if (!browsers_)
        browsers_ = std::make_unique<CBrowserWindows>(nullptr);
    return *browsers_;
}

void CAppContext::ReloadAll() {
    settings_->Invalidate();
    settings_->Refresh();
    for (auto table :
         {zorvel::StoredTable::kAlarms, zorvel::StoredTable::kNotes, zorvel::StoredTable::kEvents,
          zorvel::StoredTable::kLog, zorvel::StoredTable::kSettings})
        notifier_->Raise(table);
}

void CAppContext::SpeakNow() {
    board_->SpeakNow();
}

CAlarmDlg* CAppContext::RingWindow(quint64 ring) const {
    auto it = ringWindows_.find(ring);
    return it == ringWindows_.end() ? nullptr : it->second.data();
}

void CAppContext::OpenRingWindow(const zorvel::RingSnapshot& ring) {
    const std::time_t minute = clock_.NowTimeT() / 60;
    ringsThisMinute_ = minute == ringMinute_ ? ringsThisMinute_ + 1 : 0;
    ringMinute_ = minute;
    // Windows closed since are forgotten.
    std::erase_if(ringWindows_, [](const auto& entry) { return entry.second.isNull(); });
    auto* window = new CAlarmDlg(ring);
    ringWindows_[ring.ring] = window;
    CAlarmBoard* board = board_.get();
    QObject::connect(window, &CAlarmDlg::Shown, board, &CAlarmBoard::Shown);
    QObject::connect(window, &CAlarmDlg::Snoozed, board, &CAlarmBoard::Snooze);
    QObject::connect(window, &CAlarmDlg::Closed, board, &CAlarmBoard::Close);
    window->ShowOnTop(ringsThisMinute_);
    PostRingNotice(window, ring);
}

namespace {
// "延迟再响" (with the delay the window shows) or "关闭", as the window's own buttons do.
void AnswerRingWindow(CAlarmDlg* window, bool snooze) {
    if (snooze)
        static_cast<QDialog*>(window)->accept();
    else
        window->close();
}
}  // namespace

bool CAppContext::AnswerRing(const std::string& alarmId, bool snooze) {
    bool answered = false;
    for (const auto& [ring, window] : ringWindows_) {
        if (window && window->ring().alarm.id == alarmId) {
            AnswerRingWindow(window, snooze);
            answered = true;
        }
    }
    return answered;
}

void CAppContext::PostRingNotice(CAlarmDlg* window, const zorvel::RingSnapshot& ring) {
    IDesktopNotifier* notifier = parts_.platform.notifier;
    if (!notifier)
        return;
    // Seen over a full-screen window or on a locked screen, where the ring window may not be.
    DesktopNotice notice;
    notice.summary = zorvel::FromStoredText(ring.alarm.alarmTime);
    notice.body = zorvel::FromStoredText(ring.alarm.content);
    notice.critical = true;
    notice.category = QStringLiteral("x-zorvel.alarm");
    notice.actions = {{QStringLiteral("snooze"), QStringLiteral("延迟再响")},
                      {QStringLiteral("close"), QStringLiteral("关闭")}};
    // Its buttons act as the window's own: the snooze with the delay the window shows.
    QPointer<CAlarmDlg> target = window;
    const quint64 posted = notifier->Post(notice, [target](const QString& action) {
        if (target && (action == QLatin1String("snooze") || action == QLatin1String("close")))
            AnswerRingWindow(target, action == QLatin1String("snooze"));
    });
    auto withdraw = [notifier, posted] { notifier->Withdraw(posted); };
    QObject::connect(window, &CAlarmDlg::Snoozed, board_.get(), withdraw);
    QObject::connect(window, &CAlarmDlg::Closed, board_.get(), withdraw);
    QObject::connect(window, &QObject::destroyed, board_.get(), withdraw);
}

void CAppContext::ShowMissedAlarms(const AlarmClockList& alarms) {
    if (!missedNotice_) {
        missedNotice_ = new CMissedAlarmsDlg;
        missedListed_.clear();
    }
    missedNotice_->Add(alarms);
    missedListed_.insert(missedListed_.end(), alarms.begin(), alarms.end());
    PostMissedNotice(missedListed_);
}

void CAppContext::PostMissedNotice(const AlarmClockList& alarms) {
    IDesktopNotifier* notifier = parts_.platform.notifier;
    if (!notifier || alarms.empty())
        return;
    QStringList lines;
    for (const AlarmClockPtr& a : alarms) {
        const QString line = QString::fromStdString(zorvel::AlarmTimeListText(*a)) +
                             QStringLiteral("  ") + zorvel::FromStoredText(a->content);
        if (!lines.contains(line))
            lines << line;
    }
    DesktopNotice notice;
    notice.summary = QStringLiteral("错过的闹钟");
    notice.body = lines.join(QLatin1Char('\n'));
    notice.actions = {{QStringLiteral("default"), QStringLiteral("查看")}};
    // One notice for all of them: the one before gives way.
    if (missedPosted_ != 0)
        notifier->Withdraw(missedPosted_);
    missedPosted_ = notifier->Post(notice, [this](const QString& action) {
        if (action != QLatin1String("default"))
            return;
        missedPosted_ = 0;
        const AlarmClockList listed = missedListed_;
        if (!missedNotice_)
            missedNotice_ = new CMissedAlarmsDlg;
        missedNotice_->Add(listed);
    });
}

void CAppContext::ShowRestReminder() {
    ShowRestRemind([board = board_.get()] { board->RestReminderClosed(); });
}
