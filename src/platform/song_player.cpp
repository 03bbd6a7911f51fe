#include "platform/song_player.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

CMediaSongPlayer::CMediaSongPlayer()
    : player_(new QMediaPlayer(this)), output_(new QAudioOutput(this)) {
    player_->setAudioOutput(output_);
    connect(player_, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString& text) {
                error_ = text.isEmpty() ? QStringLiteral("播放器出错") : text;
            });
}

CMediaSongPlayer::~CMediaSongPlayer() {
    player_->stop();
}

void CMediaSongPlayer::Play(const QString& path, bool loop) {
    error_.clear();
    player_->stop();
    if (!QFileInfo(path).isFile()) {
        error_ = QStringLiteral("找不到歌曲文件 %1").arg(path);
        return;
    }
    if (QMediaDevices::audioOutputs().isEmpty()) {
        error_ = QStringLiteral("没有可用的声音输出设备");
        return;
    }
    player_->setSource(QUrl::fromLocalFile(path));
    player_->setLoops(loop ? QMediaPlayer::Infinite : 1);
    player_->play();
}

void CMediaSongPlayer::Stop() {
    player_->stop();
}

bool CMediaSongPlayer::IsStopped() const {
    return player_->playbackState() == QMediaPlayer::StoppedState;
}
