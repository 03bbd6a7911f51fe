#include "chimes/time_voice.h"

#include <QFileInfo>
#include <QLoggingCategory>

#include "chimes/core/time_voice_clips.h"
#include "platform/media_clip_sink.h"

Q_LOGGING_CATEGORY(lcTimeVoice, "zorvel.chimes.voice", QtInfoMsg)

CTimeVoice::CTimeVoice(CClipSink* sink, const zorvel::Clock& clock, zorvel::DataDirs dataDirs,
                       QObject* parent)
    : QObject(parent), sink_(sink), clock_(clock), dataDirs_(std::move(dataDirs)) {
    sink_->setParent(this);
    connect(sink_, &CClipSink::Finished, this, [this] { OnClipEnded(true, {}); });
    connect(sink_, &CClipSink::Failed, this,
            [this](const QString& reason) { OnClipEnded(false, reason); });
    watchdog_.setSingleShot(true);
    watchdog_.setInterval(std::chrono::seconds(5));
    connect(&watchdog_, &QTimer::timeout, this, [this] {
        sink_->Stop();
        OnClipEnded(false, QStringLiteral("no end reported in time"));
    });
}

CTimeVoice::~CTimeVoice() {
    Stop();
}

void CTimeVoice::Start(int hour, int minute) {
    StartClips(zorvel::TimeVoiceClips(hour, minute));
}

void CTimeVoice::StartNow() {
    StartClips(zorvel::TimeVoiceClipsAt(clock_.Now()));
}

void CTimeVoice::StartClips(const std::vector<std::string>& clips) {
    Stop();
    clips_ = clips;
    next_ = 0;
    playing_ = true;
    PlayNext();
}

void CTimeVoice::Stop() {
    ++generation_;
    watchdog_.stop();
    if (clipActive_) {
        clipActive_ = false;
        sink_->Stop();
    }
    playing_ = false;
    clips_.clear();
    next_ = 0;
}

void CTimeVoice::SetClipTimeout(std::chrono::milliseconds timeout) {
    watchdog_.setInterval(timeout);
}

void CTimeVoice::PlayNext() {
    // Listeners of the signals below may start or stop announcements; after any of them the
    // generation tells whether this one is still the one playing.
    const auto generation = generation_;
    while (next_ < clips_.size()) {
        current_ = clips_[next_++];
        QString path = QString::fromStdString(dataDirs_.Find(current_));
        if (!QFileInfo(path).isFile()) {
            qCWarning(lcTimeVoice) << "skipping missing clip" << path;
            emit ClipSkipped(QString::fromStdString(current_), QStringLiteral("missing"));
            if (generation != generation_)
                return;
            continue;
        }
        qCDebug(lcTimeVoice) << "playing" << path;
        emit ClipStarted(QString::fromStdString(current_));
        if (generation != generation_)
            return;
        clipActive_ = true;
        watchdog_.start();
        sink_->Play(path);
        return;
    }
    playing_ = false;
    qCDebug(lcTimeVoice) << "announcement finished";
    emit Finished();
}

void CTimeVoice::OnClipEnded(bool played, const QString& reason) {
    if (!clipActive_)
        return;
    clipActive_ = false;
    watchdog_.stop();
    const auto generation = generation_;
    if (!played) {
        qCWarning(lcTimeVoice) << "skipping clip" << QString::fromStdString(current_) << ":"
                               << reason;
        emit ClipSkipped(QString::fromStdString(current_), reason);
        if (generation != generation_)
            return;
    }
    // The next clip starts from the event loop, never inside the sink's own signal.
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == generation_ && playing_)
                PlayNext();
        },
        Qt::QueuedConnection);
}
