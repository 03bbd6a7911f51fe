#pragma once

#include <QDialog>

class CAppContext;
class QTabWidget;
class CMyClockDlg;
class CMyEventsDlg;
class CTodayPanel;
class CUserLogsDlg;

// The main function window: a "today" panel on the left and the program's pages in tabs on
// the right. The desktop clock makes it the first time it is asked for and keeps it until the
// program ends; closing it only hides it. Pages not built yet are empty placeholders that
// the subsystems replace with SetPage.
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

    // The left-hand panel, empty until the today panel fills it.
    QWidget* TodayPanel() const { return todayPanel_; }

    // Tab texts and object names of the pages, by page number.
    static QString PageTitle(int index);
    static QString PageObjectName(int index);

    // The pages that are built, or nullptr where SetPage has put another widget.
    CMyClockDlg* alarmPage() const;
    CMyEventsDlg* eventsPage() const;
    CUserLogsDlg* logPage() const;
    CTodayPanel* todayPanel() const { return today_; }

protected:
    // Enter, like Escape, hides the window.
    void keyPressEvent(QKeyEvent* event) override;

private:
    CAppContext& context_;
    QWidget* todayPanel_ = nullptr;
    QTabWidget* tab_ = nullptr;
    CTodayPanel* today_ = nullptr;
};

// The main window while it exists; other windows use it as the parent of their dialogs.
extern CMainDlg* g_pMainDlg;
