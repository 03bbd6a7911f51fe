#pragma once

#include <QDialog>

#include "storage/records.h"

class QListWidget;

// "错过的闹钟": the alarms whose minute passed while nothing could ring them (the computer
// slept, the clock jumped, the program was not running). It only lists them, with their time
// and text: no song, no shaking, no program started and no restart hours late. One notice
// gathers every report until it is closed.
class CMissedAlarmsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMissedAlarmsDlg(QWidget* parent = nullptr);

    // Adds the alarms to the list (each alarm once) and shows the notice on top.
    void Add(const AlarmClockList& alarms);
    QListWidget* list() const { return list_; }

private:
    QListWidget* list_;
};
