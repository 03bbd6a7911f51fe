#include "platform/log_categories.h"

Q_LOGGING_CATEGORY(lcAlarms, "zorvel.alarms")
Q_LOGGING_CATEGORY(lcApp, "zorvel.app")
Q_LOGGING_CATEGORY(lcNotes, "zorvel.notes")
Q_LOGGING_CATEGORY(lcPlatform, "zorvel.platform")
Q_LOGGING_CATEGORY(lcSettings, "zorvel.settings")
Q_LOGGING_CATEGORY(lcStorage, "zorvel.storage")
