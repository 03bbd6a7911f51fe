#pragma once

#include <QMediaPlayer>
#include <QUrl>

#include "platform/clip_sink.h"

class QAudioOutput;

// Plays clips through Qt Multimedia on the default audio output.
class CMediaClipSink final : public CClipSink {
    Q_OBJECT

public:
    explicit CMediaClipSink(QObject* parent = nullptr);

    void Play(const QString& file) override;
    void Stop() override;

private:
    void OnStatus(QMediaPlayer::MediaStatus status);
    void OnError(QMediaPlayer::Error error, const QString& text);

    QMediaPlayer* player_;
    QAudioOutput* output_;
    QUrl current_;
    bool active_ = false;
};
