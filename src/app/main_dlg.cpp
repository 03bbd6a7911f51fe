#include "app/main_dlg.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "alarms/my_clock_dlg.h"
#include "app/app_context.h"
#include "app/today_panel.h"
#include "calendar/holiday_files.h"
#include "events/my_events_dlg.h"
#include "notes/my_notes_dlg.h"
#include "platform/second_ticker.h"
#include "settings/soft_setting_dlg.h"
#include "settings/user_logs_dlg.h"
#include "storage/clock_manager.h"
#include "tools/about_dlg.h"
#include "tools/homepage_dlg.h"
#include "tools/open_url.h"
#include "tools/tools_dlg.h"

namespace {
struct PageInfo {
    const char* title;
    const char* objectName;
};
// The log page's tab reads "用户日记" although the clock's menu calls it "用户日志".
const PageInfo kPages[CMainDlg::kPageCount] = {
    {"我的闹钟", "alarmPage"}, {"我的便笺", "notesPage"},    {"我的记事", "eventsPage"},
    {"用户日记", "logPage"},   {"软件设置", "settingsPage"}, {"趣味工具", "toolsPage"},
    {"访问主页", "homePage"},  {"帮助", "helpPage"},
};

bool InRange(int index) {
    return index >= 0 && index < CMainDlg::kPageCount;
}
}  // namespace

QString CMainDlg::PageTitle(int index) {
    return InRange(index) ? QString::fromUtf8(kPages[index].title) : QString();
}

QString CMainDlg::PageObjectName(int index) {
    return InRange(index) ? QString::fromLatin1(kPages[index].objectName) : QString();
}

CMainDlg::CMainDlg(CAppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("mainDlg"));
    setWindowTitle(QStringLiteral("Zorvel"));
    // Fixed size: 512 × 234 dialog units; it can be minimised but not resized.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(768, 374);

    todayPanel_ = new QWidget(this);
    todayPanel_->setObjectName(QStringLiteral("todayPanel"));
    todayPanel_->setFixedWidth(180);
    auto* todayLayout = new QVBoxLayout(todayPanel_);
    todayLayout->setContentsMargins(0, 0, 0, 0);
    today_ = new CTodayPanel(todayPanel_);
    todayLayout->addWidget(today_);

    tab_ = new QTabWidget(this);
    tab_->setObjectName(QStringLiteral("pageTabs"));
    for (int i = 0; i < kPageCount; ++i) {
        auto* page = new QWidget;
        page->setObjectName(PageObjectName(i));
        page->setAccessibleName(PageTitle(i));
        tab_->addTab(page, PageTitle(i));
    }

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(todayPanel_);
    layout->addWidget(tab_, 1);

    // Links open through the platform's opener; what cannot be opened is said over this window.
    const auto openUrl = [this, opener = context.platform().urlOpener](const QUrl& url) {
        OpenUrlFor(this, opener, url);
        return true;
    };
    SetPage(kAlarmPage, new CMyClockDlg(context.alarms(), context.store(), context.settings(),
                                        context.clock()));
    SetPage(kNotesPage, new CMyNotesDlg(context.store(), context.notifier(), context.shownNotes(),
                                        context.clock()));
    SetPage(kEventsPage,
            new CMyEventsDlg(context.store().Manager(), context.notifier(), context.settings()));
    SetPage(kLogPage, new CUserLogsDlg(context.store().Manager(), context.notifier()));
    SetPage(kSettingsPage, new CSoftSettingDlg(SettingsPageParts(context)));
    SetPage(kToolsPage,
            new CToolsDlg(context.platform().clockSetter, openUrl, nullptr, &context.browsers()));
    SetPage(kHomePage, new CHomepageDlg(openUrl));
    SetPage(kHelpPage, new CAboutDlg(context.platform().launcher, openUrl));

    // The date lines are there at once; the clock line waits for the first second.
    today_->Refresh(context.clock().NowTimeT());
    connect(&context.ticker(), &CSecondTicker::Tick, this,
            [this] { today_->Refresh(context_.clock().NowTimeT(), true); });
}

CSoftSettingDlg::Parts CMainDlg::SettingsPageParts(CAppContext& context) {
    CSoftSettingDlg::Parts parts;
    parts.settings = &context.settings();
    parts.autostart = context.platform().autostart;
    parts.speakNow = [&context] { context.SpeakNow(); };
    parts.alarms = &context.alarms();
    parts.holidayFolder = zorvel::HolidayFolderFor(context.store().Database().Path());
    parts.clock = &context.clock();
    parts.databasePath = context.store().Database().Path();
    parts.reloadAll = [&context] { context.ReloadAll(); };
    return parts;
}

CMainDlg::~CMainDlg() {}

CMyClockDlg* CMainDlg::alarmPage() const {
    return qobject_cast<CMyClockDlg*>(Page(kAlarmPage));
}

CMyEventsDlg* CMainDlg::eventsPage() const {
    return qobject_cast<CMyEventsDlg*>(Page(kEventsPage));
}

CUserLogsDlg* CMainDlg::logPage() const {
    return qobject_cast<CUserLogsDlg*>(Page(kLogPage));
}

void CMainDlg::SelectPage(int index) {
    if (InRange(index))
        tab_->setCurrentIndex(index);
}

int CMainDlg::CurrentPage() const {
    return tab_->currentIndex();
}

QWidget* CMainDlg::Page(int index) const {
    return InRange(index) ? tab_->widget(index) : nullptr;
}

void CMainDlg::SetPage(int index, QWidget* page) {
    if (!InRange(index) || !page)
        return;
    QWidget* old = tab_->widget(index);
    if (old == page)
        return;
    if (page->objectName().isEmpty())
        page->setObjectName(PageObjectName(index));
    if (page->accessibleName().isEmpty())
        page->setAccessibleName(PageTitle(index));
    const bool wasCurrent = tab_->currentIndex() == index;
    const QSignalBlocker block(tab_);
    tab_->removeTab(index);
    tab_->insertTab(index, page, PageTitle(index));
    if (wasCurrent)
        tab_->setCurrentIndex(index);
    delete old;
}

bool CMainDlg::HasOpenDialog() const {
    const QList<QDialog*> dialogs = findChildren<QDialog*>();
    return std::any_of(dialogs.begin(), dialogs.end(),
                       [](const QDialog* dialog) { return dialog->isVisible(); });
}

void CMainDlg::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    // A minimised window is still open; only a window that went away counts.
    if (!isVisible())
        emit Hidden();
}

void CMainDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        hide();
        return;
    }
    QDialog::keyPressEvent(event);
}
