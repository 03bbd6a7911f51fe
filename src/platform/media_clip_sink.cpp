#include "platform/media_clip_sink.h"

#include <QAudioOutput>
#include <QFileInfo>

CMediaClipSink::CMediaClipSink(QObject* parent)
    : CClipSink(parent), player_(new QMediaPlayer(this)), output_(new QAudioOutput(this)) {
    player_->setAudioOutput(output_);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, &CMediaClipSink::OnStatus);
    connect(player_, &QMediaPlayer::errorOccurred, this, &CMediaClipSink::OnError);
}

void CMediaClipSink::Play(const QString& file) {
    active_ = true;
    current_ = QUrl::fromLocalFile(file);
    // A missing file is refused here: handing one to the GStreamer pipeline leaves it in a
    // state that stalls the next clip's start for about a second.
    QFileInfo info(file);
    if (!info.isFile() || !info.isReadable()) {
        active_ = false;
        emit Failed(QStringLiteral("cannot read the file"));
        return;
    }
    player_->setSource(current_);
    player_->play();
}

void CMediaClipSink::Stop() {
    active_ = false;
    player_->stop();
}

void CMediaClipSink::OnStatus(QMediaPlayer::MediaStatus status) {
    // Status changes of an earlier source can still arrive after the switch to a new one.
    if (!active_ || player_->source() != current_)
        return;
    if (status == QMediaPlayer::EndOfMedia) {
        active_ = false;
        emit Finished();
    } else if (status == QMediaPlayer::InvalidMedia) {
        active_ = false;
        emit Failed(player_->errorString());
    }
}

void CMediaClipSink::OnError(QMediaPlayer::Error error, const QString& text) {
    if (!active_ || error == QMediaPlayer::NoError)
        return;
    active_ = false;
    emit Failed(text);
}
