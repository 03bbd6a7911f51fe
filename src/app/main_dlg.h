#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <set>
#include <string>

#include "alarms/core/scheduler.h"
#include "platform/second_ticker.h"

class QTabWidget;
class CMyClockDlg;
class CTodayPanel;
class CUserLogsDlg;

// The main function window: a "today" panel on the left and the program's pages in tabs on
// the right. Created hidden with the desktop clock and kept until the program ends; closing it
// only hides it. The pages start as empty placeholders that the subsystems replace with
// SetPage.
class CMainDlg : public QDialog {
    Q_OBJECT

public:
    // Page numbers, in tab order.
    enum Page {
        kAlarmPage,
        kNotesPage,
        kEventsPage,
        kLogPage,
        kSettingsPage,
        kToolsPage,
        kHomePage,
        kHelpPage,
        kPageCount
    };

    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Shows page `index` and makes its tab the current one; an index out of range changes
    // nothing.
    void SelectPage(int index);
    int CurrentPage() const;

    // The page widget at `index`, or nullptr when out of range.
    QWidget* Page(int index) const;

    // Puts `page` in place of the page at `index` (taking ownership and giving it the page's
    // object name when it has none) and deletes the old one. The tab text and, when that page
    // was selected, the selection stay.
    void SetPage(int index, QWidget* page);

    // The left-hand panel, empty until the today panel fills it.
    QWidget* TodayPanel() const { return todayPanel_; }

    // Tab texts and object names of the pages, by page number.
    static QString PageTitle(int index);
    static QString PageObjectName(int index);

    // The scheduler's jobs, also callable with a given moment (tests drive them on a fake
    // clock). Once a second: the chime trigger, the clock line and the today panel.
    void OnSecond(zorvel::TimePoint now);
    // Once a minute: automatic deletion of expired alarms.
    void OnDeleteExpiredTimer(std::time_t now);
    // Once a minute: the rest reminder's count.
    void OnRestTimer();

    // The start-up work that reads storage: the settings cache, the pages' lists, the today
    // panel and the timers. Runs once, just after the clock is on screen; tests call it.
    void OnInitDialog();

    CMyClockDlg* alarmPage() const { return alarmPage_; }
    CUserLogsDlg* logPage() const { return logPage_; }
    CTodayPanel* todayPanel() const { return today_; }
    const zorvel::RestCounter& restCounter() const { return rest_; }

    // What the chime and the rest reminder do; tests replace them.
    std::function<void(int hour, int minute)> announceTime;
    std::function<void()> showRestReminder;
    zorvel::DeleteLogger deleteLogger = &zorvel::LogDeletedAlarm;

private:
    QWidget* todayPanel_ = nullptr;
    QTabWidget* tab_ = nullptr;
    CTodayPanel* today_ = nullptr;
    CMyClockDlg* alarmPage_ = nullptr;
    CUserLogsDlg* logPage_ = nullptr;

    zorvel::ChimeTrigger chime_;
    zorvel::RestCounter rest_;
    bool initialised_ = false;
    std::set<std::string> autoDeletedIds_;  // expired alarms already taken out of storage
    QTimer deleteTimer_;                    // expired alarms, once a minute
    QTimer restTimer_;                      // rest reminder, once a minute
};

// The main window while it exists; other windows use it as the parent of their dialogs.
extern CMainDlg* g_pMainDlg;
