#pragma once

#include <QDialog>

#include "settings/soft_setting_dlg.h"

class CAppContext;
class QTabWidget;
class CMyClockDlg;
class CMyEventsDlg;
class CTodayPanel;
class CUserLogsDlg;

// The main function window: a "today" panel on the left and the program's pages in tabs on
// the right. The desktop clock makes it when it is asked for and, once it has been closed (and
// no dialog of it is still open), destroys it, so its memory comes back; closing it itself
// only hides it and says so with Hidden.
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

    explicit CMainDlg(CAppContext& context, QWidget* parent = nullptr);
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

    // The left-hand panel holding the today panel.
    QWidget* TodayPanel() const { return todayPanel_; }

    // What the settings page gets from the application.
    static CSoftSettingDlg::Parts SettingsPageParts(CAppContext& context);

    // Tab texts and object names of the pages, by page number.
    static QString PageTitle(int index);
    static QString PageObjectName(int index);

    // The pages that are built, or nullptr where SetPage has put another widget.
    CMyClockDlg* alarmPage() const;
    CMyEventsDlg* eventsPage() const;
    CUserLogsDlg* logPage() const;
    CTodayPanel* todayPanel() const { return today_; }

    // Whether a dialog of the window (an editor, a prompt, a message) is still open: the
    // window must then stay, or what was typed there would be lost.
    bool HasOpenDialog() const;

signals:
    // The window was hidden (closed, Escape, Enter).
    void Hidden();

protected:
    // Enter, like Escape, hides the window.
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    CAppContext& context_;
    QWidget* todayPanel_ = nullptr;
    QTabWidget* tab_ = nullptr;
    CTodayPanel* today_ = nullptr;
};
