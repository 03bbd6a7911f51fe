#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QMediaPlayer;
class QAudioOutput;

// Plays one song file. The ring window asks it once a second whether it has stopped.
class ISongPlayer {
public:
    virtual ~ISongPlayer() = default;
    // Starts the file from its beginning; `loop` repeats it until Stop.
    virtual void Play(const QString& path, bool loop) = 0;
    virtual void Stop() = 0;
    virtual bool IsStopped() const = 0;
    // Why the song cannot be played; empty while all is well.
    virtual QString ErrorText() const = 0;
};

using SongPlayerFactory = std::function<std::unique_ptr<ISongPlayer>()>;

// Qt Multimedia (GStreamer) player.
class CMediaSongPlayer final : public QObject, public ISongPlayer {
    Q_OBJECT
public:
    CMediaSongPlayer();
    ~CMediaSongPlayer() override;
    void Play(const QString& path, bool loop) override;
    void Stop() override;
    bool IsStopped() const override;
    QString ErrorText() const override { return error_; }

private:
    QMediaPlayer* player_;
    QAudioOutput* output_;
    QString error_;
};
