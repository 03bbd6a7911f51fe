#pragma once

#include <QLoggingCategory>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "alarms/core/alarm_states.h"
#include "alarms/core/ring_plan.h"
#include "platform/core/clock.h"
#include "platform/log_categories.h"
#include "platform/platform_services.h"

// Carries out the ring effects of the alarm engine's rings: the song starts the moment the
// alarm is due, whatever the windows are doing; a program, a restart or a power-off waits until
// the ring window is on screen, so nothing happens that the user cannot see the reason for.
// The shake moves a window, so it is asked of the window thread. Lives in the engine's thread.
class CRingController : public QObject {
    Q_OBJECT
public:
    // `ringPlayType` is asked when a song is to be played (the setting may change any time).
    CRingController(const PlatformServices& services, const zorvel::Clock& clock,
                    std::function<int()> ringPlayType, QObject* parent = nullptr);
    ~CRingController() override;

    // The alarm is due: its song (if it has one) starts now.
    void Start(const zorvel::RingSnapshot& ring);
    // Its window is on screen: the effects that act on the machine run now.
    void WindowShown(std::uint64_t ring);
    // Snoozed or closed: silence it.
    void Stop(std::uint64_t ring);

    bool IsPlaying(std::uint64_t ring) const;
    bool IsWatchingSong(std::uint64_t ring) const;
    // The song-end watch of one ring, run once a second while its song may need replaying.
    void CheckSongEnd(std::uint64_t ring);

signals:
    void ShakeRequested(quint64 ring);
    // Something the user should read in the ring window (a song or program that failed).
    void RingError(quint64 ring, const QString& text);

private:
    struct Ringing;
    void PlaySong(Ringing& r, const QString& path, zorvel::SongPlayMode mode, bool loop);
    void Failed(Ringing& r, const QString& text);

    PlatformServices services_;
    const zorvel::Clock& clock_;
    std::function<int()> ringPlayType_;
    std::map<std::uint64_t, std::unique_ptr<Ringing>> rings_;
};
