#include "alarms/ring_controller.h"

#include "storage/time_text.h"

using namespace zorvel;

struct CRingController::Ringing {
    RingSnapshot snapshot;
    RingPlan plan;
    std::unique_ptr<ISongPlayer> player;
    SongPlayMode playMode = kSongLoop;
    QString songPath;
    QTimer songEnd;  // once a second while a song may need replaying
    bool shown = false;
};

CRingController::CRingController(const PlatformServices& services, const Clock& clock,
                                 std::function<int()> ringPlayType, QObject* parent)
    : QObject(parent), services_(services), clock_(clock), ringPlayType_(std::move(ringPlayType)) {}

CRingController::~CRingController() {
    for (auto& [number, r] : rings_) {
        if (r->player)
            r->player->Stop();
    }
}

void CRingController::Start(const RingSnapshot& ring) {
    auto r = std::make_unique<Ringing>();
    r->snapshot = ring;
    const std::string song1 = services_.dataDirs.Find("mp3/1.mp3");
    const std::string song2 = services_.dataDirs.Find("mp3/2.mp3");
    r->plan = PlanRing(ring.alarm, kPlayUntilClosed, song1, song2);
    r->songEnd.setInterval(1000);
    const std::uint64_t number = ring.ring;
    connect(&r->songEnd, &QTimer::timeout, this, [this, number] { CheckSongEnd(number); });
    Ringing& ringing = *r;
    rings_[number] = std::move(r);
    if (ringing.plan.needsPlayType) {
        RingPlan withSong = PlanRing(ring.alarm, ringPlayType_(), song1, song2);
        if (withSong.song) {
            const QString path = QString::fromStdString(withSong.song->path);
            PlaySong(ringing, path, withSong.song->mode, withSong.song->loop);
            if (!ringing.player || !ringing.player->ErrorText().isEmpty())
                return;
            const TimePoint now = clock_.Now();
            const auto ms =
                std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) %
                1000;
            qCInfo(lcAlarms).noquote()
                << QStringLiteral("song started at %1.%2 (alarm %3 of %4)")
                       .arg(QString::fromStdString(FormatTimeText(clock_.NowTimeT())))
                       .arg(ms.count(), 3, 10, QLatin1Char('0'))
                       .arg(QString::fromStdString(ring.alarm.id),
                            QString::fromStdString(ring.alarm.alarmTime));
        }
    }
}

void CRingController::WindowShown(std::uint64_t ring) {
    auto it = rings_.find(ring);
    if (it == rings_.end() || it->second->shown)
        return;
    Ringing& r = *it->second;
    r.shown = true;
    if (r.plan.restart && services_.power) {
        // Give the user two seconds to see why the machine restarts.
        IPowerControl* power = services_.power;
        QTimer::singleShot(2000, this, [power] { power->Reboot(); });
    }
    if (!r.plan.program.empty() && services_.launcher) {
        const QString program = QString::fromStdString(r.plan.program);
        if (!services_.launcher->StartDetached(program))
            Failed(r, QStringLiteral("无法启动程序：%1").arg(program));
    }
    if (r.plan.shake)
        emit ShakeRequested(ring);
    if (r.plan.powerOff && services_.power)
        services_.power->PowerOff();
}

void CRingController::Stop(std::uint64_t ring) {
    auto it = rings_.find(ring);
    if (it == rings_.end())
        return;
    it->second->songEnd.stop();
    if (it->second->player)
        it->second->player->Stop();
    rings_.erase(it);
}

bool CRingController::IsPlaying(std::uint64_t ring) const {
    auto it = rings_.find(ring);
    return it != rings_.end() && it->second->player && !it->second->player->IsStopped();
}

bool CRingController::IsWatchingSong(std::uint64_t ring) const {
    auto it = rings_.find(ring);
    return it != rings_.end() && it->second->songEnd.isActive();
}

void CRingController::PlaySong(Ringing& r, const QString& path, SongPlayMode mode, bool loop) {
    r.playMode = mode;
    if (r.songPath.isEmpty())
        r.songPath = path;
    r.player.reset();
    if (!services_.songPlayers)
        return;
    r.player = services_.songPlayers();
    r.player->Play(path, loop);
    if (!r.player->ErrorText().isEmpty()) {
        Failed(r, QStringLiteral("歌曲无法播放：%1").arg(r.player->ErrorText()));
        return;
    }
    // Watched in every mode: a file that cannot be decoded is reported only once the player
    // has tried, after Play has returned.
    r.songEnd.start();
}

void CRingController::CheckSongEnd(std::uint64_t ring) {
    auto it = rings_.find(ring);
    if (it == rings_.end() || !it->second->player)
        return;
    Ringing& r = *it->second;
    if (!r.player->ErrorText().isEmpty()) {
        // A song that cannot be played is not retried every second.
        Failed(r, QStringLiteral("歌曲无法播放：%1").arg(r.player->ErrorText()));
        return;
    }
    if (!r.player->IsStopped())
        return;
    switch (OnSongStopped(r.playMode)) {
        case SongEndAction::kPlayLastTime:
            PlaySong(r, r.songPath, kSongOnce, false);
            break;
        case SongEndAction::kPlayLoopAgain:
            PlaySong(r, r.songPath, kSongLoop, true);
            break;
        case SongEndAction::kNothing:
            r.songEnd.stop();  // played to its end
            break;
    }
}

void CRingController::Failed(Ringing& r, const QString& text) {
    r.songEnd.stop();
    qCWarning(lcAlarms).noquote() << text;
    // Told on the next pass of the loop, so it follows the ring's own signal to the windows
    // even when the song fails at once.
    QMetaObject::invokeMethod(
        this, [this, ring = r.snapshot.ring, text] { emit RingError(ring, text); },
        Qt::QueuedConnection);
}
