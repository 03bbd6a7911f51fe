#pragma once

#include <QLoggingCategory>

// One logging category per area, so QT_LOGGING_RULES can quiet or widen each on its own
// (for example "zorvel.alarms.info=false").
Q_DECLARE_LOGGING_CATEGORY(lcAlarms)    // zorvel.alarms
Q_DECLARE_LOGGING_CATEGORY(lcApp)       // zorvel.app
Q_DECLARE_LOGGING_CATEGORY(lcNotes)     // zorvel.notes
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)  // zorvel.platform
Q_DECLARE_LOGGING_CATEGORY(lcSettings)  // zorvel.settings
Q_DECLARE_LOGGING_CATEGORY(lcStorage)   // zorvel.storage
