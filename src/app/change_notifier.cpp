#include "app/change_notifier.h"

#include <QTimer>

using zorvel::StoredTable;

namespace {
unsigned Bit(StoredTable table) {
    return 1u << static_cast<unsigned>(table);
}
}  // namespace

CChangeNotifier::CChangeNotifier(QObject* parent) : QObject(parent) {}

void CChangeNotifier::Raise(StoredTable table) {
    pending_ |= Bit(table);
    if (!posted_) {
        posted_ = true;
        QTimer::singleShot(0, this, &CChangeNotifier::Flush);
    }
}

void CChangeNotifier::Flush() {
    posted_ = false;
    // Listeners may write again; those writes are raised in a later pass.
    const unsigned pending = std::exchange(pending_, 0u);
    if (pending & Bit(StoredTable::kAlarms))
        emit AlarmsChanged();
    if (pending & Bit(StoredTable::kNotes))
        emit NotesChanged();
    if (pending & Bit(StoredTable::kEvents))
        emit EventsChanged();
    if (pending & Bit(StoredTable::kLog))
        emit LogChanged();
    if (pending & Bit(StoredTable::kSettings))
        emit SettingsChanged();
}
