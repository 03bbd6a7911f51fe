#pragma once

#include <QObject>

#include "storage/clock_database.h"

// Tells the windows that stored items have changed, whoever changed them. The store reports
// each successful write; the notifier gathers the writes of one pass of the event loop and
// raises each signal once afterwards, so a page refreshes once per user action (not once per
// deleted row) and never in the middle of the action that wrote.
class CChangeNotifier : public QObject {
    Q_OBJECT
public:
    explicit CChangeNotifier(QObject* parent = nullptr);

    // A write to `table` succeeded.
    void Raise(zorvel::StoredTable table);
    // Raises the pending signals now (tests, and callers that must see the refresh at once).
    void Flush();

signals:
    void AlarmsChanged();
    void NotesChanged();
    void EventsChanged();
    void LogChanged();
    void SettingsChanged();

private:
    unsigned pending_ = 0;
    bool posted_ = false;
};
