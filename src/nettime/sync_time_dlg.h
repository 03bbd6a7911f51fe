#pragma once

#include <QDialog>
#include <QTimer>
#include <chrono>
#include <cstdint>

#include "nettime/core/time_protocol.h"
#include "nettime/time_protocol_client.h"

class IClockSetter;
struct ClockSetResult;
class QComboBox;
class QPlainTextEdit;
class QPushButton;

// Where and how long the dialog asks.
struct SyncTimeOptions {
    quint16 port = zorvel::nettime::kTimePort;
    // For the connection and the read together.
    std::chrono::milliseconds timeout{10000};
    // Replies decoding to an earlier time are refused.
    std::int64_t earliest = zorvel::nettime::EarliestPlausibleTime();
};

// "网络校时": asks a Time Protocol server for the time and sets the computer's clock to it,
// showing each step, and why a run failed. A dialog in a window of its own, with its own taskbar
// entry; "退出" (or Escape) hides it and ends a run that is still going.
class CSyncTimeDlg : public QDialog {
    Q_OBJECT
public:
    // `clock` may be null: every run then ends with "Set Time Failure.".
    explicit CSyncTimeDlg(IClockSetter* clock, SyncTimeOptions options = {});
    ~CSyncTimeDlg() override;

    // The four servers offered at first.
    static QStringList DefaultServers();

    bool IsRunning() const;
    QString StatusText() const { return status_; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void OnSync();
    void OnReply(const QByteArray& reply, CTimeProtocolClient::Ending ending);
    void OnClockSet(const ClockSetResult& result);
    void AppendLine(const QString& line);
    // The last line of a run that failed: why, in a sentence.
    void EndRun(const QString& reason = {});

    IClockSetter* clock_;
    SyncTimeOptions options_;
    CTimeProtocolClient* client_;
    QComboBox* servers_;
    QPushButton* syncButton_;
    QPlainTextEdit* statusEdit_;
    QString status_;
    QString server_;  // as the running exchange asked for it
    // Seconds since the reply arrived, added to the time it carries.
    QTimer tickTimer_;
    std::uint32_t ticks_ = 0;
    // Bumped when a run ends early, so a late answer of the clock service is not shown.
    std::uint64_t run_ = 0;
    bool setting_ = false;
};
