#pragma once

#include <QObject>
#include <QString>

// Where an announcement's clips are played, one at a time. The program uses
// CMediaClipSink; tests put in a fake and finish clips when they choose.
class CClipSink : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts playing one audio file. Exactly one of Finished or Failed follows for it (possibly
    // before Play returns), unless Stop or another Play comes first.
    virtual void Play(const QString& file) = 0;

    // Silences the clip at once; nothing more is signalled for it.
    virtual void Stop() = 0;

signals:
    void Finished();
    void Failed(const QString& reason);
};
