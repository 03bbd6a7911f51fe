#pragma once

#include <QDialog>
#include <QTimer>
#include <utility>
#include <vector>

#include "alarms/core/alarm_states.h"

class QComboBox;
class QScrollArea;
class QLabel;
class QPushButton;

// The window of one ringing alarm: shows its time and text and offers the snooze. It shows a
// snapshot of the ring and reports what the user chose; the alarm engine plays the song and
// carries out the other effects (a shake it asks of the window, which alone can move it).
class CAlarmDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAlarmDlg(const zorvel::RingSnapshot& ring, QWidget* parent = nullptr);
    ~CAlarmDlg() override;

    // Centres the window on the screen (moved down and right by `cascade` title-bar heights, so
    // windows of one minute do not hide each other), shows it on top and gives it the focus.
    void ShowOnTop(int cascade = 0);
    void FillDelayCombos();

    const zorvel::RingSnapshot& ring() const { return ring_; }
    // Shakes the window once, half a second from now.
    void Shake();
    bool IsShaking() const { return shakeTimer_.isActive() || shakeStep_ >= 0; }
    void ShowSongError(const QString& text);

signals:
    // The window is on screen.
    void Shown(quint64 ring);
    // "延迟再响" with the delay as typed (read the way C's atoi reads it).
    void Snoozed(quint64 ring, int hours, int minutes);
    // Closed without a snooze.
    void Closed(quint64 ring);

protected:
    void accept() override;  // the snooze
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ShakeStep();

    zorvel::RingSnapshot ring_;
    bool answered_ = false;  // snoozed or closed: told once
    bool toldShown_ = false;

    QTimer shakeTimer_;  // half a second after the request
    QTimer shakeMoveTimer_;
    std::vector<std::pair<int, int>> shakePath_;
    int shakeStep_ = -1;

    QLabel* timeLabel_;
    QLabel* contentLabel_;
    QScrollArea* contentArea_;
    QLabel* songErrorLabel_;
    QComboBox* hoursCombo_;
    QComboBox* minutesCombo_;
    QPushButton* snoozeButton_;
};

// Opens the ring window of a due alarm: a top-level window of its own, so it stays when the
// main window is hidden; it deletes itself when closed.
CAlarmDlg* OpenRingWindow(const zorvel::RingSnapshot& ring, int cascade = 0);
