#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/clock.h"
#include "platform/core/program_dir.h"

class CClipSink;

// The spoken time: plays the voice clips of a time one after another, each to its end,
// driven by the sink's signals, so the UI thread never waits for audio.
//
// The clips are looked up in the data folders it is given (next to the executable, else the
// installed data folder), never relative to the current directory. A clip that is missing
// or that the sink cannot play is skipped and the announcement goes on; no other sound
// stands in for it. Starting an announcement while one is playing stops the old one first.
// Use on the UI thread only.
class CTimeVoice : public QObject {
    Q_OBJECT

public:
    // Takes ownership of the sink; the clock must outlive the voice.
    CTimeVoice(CClipSink* sink, const zorvel::Clock& clock, zorvel::DataDirs dataDirs,
               QObject* parent = nullptr);
    ~CTimeVoice() override;

    // Announces the given time (an hour outside 0-23 or a minute outside 0-59 is an unknown
    // time) or the current local time of the clock. Returns at once.
    void Start(int hour, int minute);
    void StartNow();
    // Plays any list of clips (data-file paths such as "sound/T01.wav") in order.
    void StartClips(const std::vector<std::string>& clips);

    // Silences the announcement at once; Finished is not emitted for it.
    void Stop();

    bool IsPlaying() const { return playing_; }

    // A clip the sink never reports on is given up after this long (default 5 s), so a
    // stuck audio system cannot hold the announcement forever.
    void SetClipTimeout(std::chrono::milliseconds timeout);

signals:
    void ClipStarted(const QString& clip);
    void ClipSkipped(const QString& clip, const QString& reason);
    // The last clip has ended (played or skipped).
    void Finished();

private:
    void PlayNext();
    void OnClipEnded(bool played, const QString& reason);

    CClipSink* sink_;
    const zorvel::Clock& clock_;
    zorvel::DataDirs dataDirs_;
    QTimer watchdog_;
    std::vector<std::string> clips_;
    std::size_t next_ = 0;
    std::string current_;
    bool playing_ = false;
    bool clipActive_ = false;
    // Bumped by every start and stop, so a step queued for an older announcement is dropped.
    std::uint64_t generation_ = 0;
};
