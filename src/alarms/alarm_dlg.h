#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>
#include <utility>
#include <vector>

#include "alarms/core/ring_plan.h"
#include "platform/core/clock.h"
#include "platform/platform_services.h"
#include "storage/records.h"

class CClockDatabase;
class QComboBox;
class QScrollArea;
class QLabel;
class QPushButton;

// The window of one ringing alarm: shows its time and text, carries out its ring effect and
// offers the snooze. It works on the very record of the scheduler's list, so a snooze moves
// the alarm in memory (the database keeps the stored time).
class CAlarmDlg : public QDialog {
    Q_OBJECT
public:
    // The database gives the song-repeat setting at ring time; the clock, the moment of a
    // snooze. Both must outlive the window.
    CAlarmDlg(AlarmClockPtr alarm, const PlatformServices& services, CClockDatabase& database,
              const zorvel::Clock& clock, QWidget* parent = nullptr);
    ~CAlarmDlg() override;

    // Shows the alarm and starts its effect; called once, before the window is shown.
    void StartRinging();
    // Centres the window on the screen (moved down and right by `cascade` title-bar heights, so
    // windows of one minute do not hide each other), shows it on top and gives it the focus.
    void ShowOnTop(int cascade = 0);

    void PlaySong(const QString& path, zorvel::SongPlayMode mode, bool loop);
    void StopSong();
    void FillDelayCombos();

    const AlarmClockPtr& alarm() const { return alarm_; }
    // The song-end watch, run once a second while a song may need replaying.
    void CheckSongEnd();
    bool IsWatchingSong() const { return songEndTimer_.isActive(); }
    bool IsShaking() const { return shakeTimer_.isActive() || shakeStep_ >= 0; }

signals:
    // "延迟再响": the alarm with this stored id rings again at this stored time.
    void Snoozed(const QString& alarmId, const QString& until);

protected:
    void accept() override;  // the snooze
    void closeEvent(QCloseEvent* event) override;

private:
    void ShakeStep();
    void ShowSongError(const QString& text);

    int ReadRingPlayType();

    AlarmClockPtr alarm_;
    std::string rangTime_;  // the time the window shows, whatever later happens to the record
    PlatformServices services_;
    CClockDatabase& database_;
    const zorvel::Clock& clock_;
    std::unique_ptr<ISongPlayer> player_;
    zorvel::SongPlayMode playMode_ = zorvel::kSongLoop;
    bool repeat_ = false;
    QString songPath_;

    QTimer shakeTimer_;    // half a second after opening
    QTimer songEndTimer_;  // once a second while a song may need replaying
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
CAlarmDlg* OpenRingWindow(const AlarmClockPtr& alarm, const PlatformServices& services,
                          CClockDatabase& database, const zorvel::Clock& clock, int cascade = 0);
