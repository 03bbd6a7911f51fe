#include "app/main_dlg.h"

#include <QHBoxLayout>
#include <cstdio>

#include <QTabWidget>
#include <QVBoxLayout>
#include "alarms/my_clock_dlg.h"
#include "app/today_panel.h"
#include "chimes/rest_remind.h"
#include "chimes/time_voice.h"
#include "settings/user_logs_dlg.h"
#include "storage/settings_cache.h"
#include "storage/sqlite_wrapper.h"
#include "widgets/message_box.h"

CMainDlg* g_pMainDlg = nullptr;

namespace {
constexpr int kStartUpDelayMs = 100;
}

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

CMainDlg::CMainDlg(QWidget* parent) : QDialog(parent), chime_(zorvel::Now()) {
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
        // Titled afterwards: inserting the first tab measures its text, which would load the
        // CJK fonts at start-up although the window stays hidden until asked for.
        tab_->addTab(page, QString());
    }
    for (int i = 0; i < kPageCount; ++i)
        tab_->setTabText(i, PageTitle(i));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(todayPanel_);
    layout->addWidget(tab_, 1);

    announceTime = [](int hour, int minute) { PlayTimeVoice(hour, minute); };
    showRestReminder = [] { ShowRestRemind(); };
    alarmPage_ = new CMyClockDlg;
    SetPage(kAlarmPage, alarmPage_);

    g_pMainDlg = this;
    // Reading storage costs a key derivation per connection: leave it until the clock has
    // drawn its first frame.
    QTimer::singleShot(kStartUpDelayMs, this, &CMainDlg::OnInitDialog);
}

void CMainDlg::OnInitDialog() {
    if (initialised_)
        return;
    initialised_ = true;
    // The settings the timers read every second or minute come from the cache.
    try {
        LoadSettingsCacheFromStorage();
    } catch (const CppSQLite3Exception& e) {
        zorvel::ShowStorageError(nullptr, e);
    }
    alarmPage_->OnInitDialog();
    logPage_ = new CUserLogsDlg;
    SetPage(kLogPage, logPage_);
    connect(&CSecondTicker::Shared(), &CSecondTicker::Tick, this,
            [this] { OnSecond(zorvel::Now()); });
    deleteTimer_.setInterval(60000);
    connect(&deleteTimer_, &QTimer::timeout, this,
            [this] { OnDeleteExpiredTimer(zorvel::NowTimeT()); });
    deleteTimer_.start();
    // The date lines are there at once; the clock line waits for the first second.
    today_->Refresh(zorvel::NowTimeT());
    restTimer_.setInterval(60000);
    connect(&restTimer_, &QTimer::timeout, this, &CMainDlg::OnRestTimer);
    restTimer_.start();
}

void CMainDlg::OnSecond(zorvel::TimePoint now) {
    const SettingsCache& cache = g_settingsCache();
    if (auto chime = chime_.Tick(now, cache.ZDBS != 0, cache.BDBS != 0)) {
        if (announceTime)
            announceTime(chime->hour, chime->minute);
    }
    today_->Refresh(std::chrono::system_clock::to_time_t(now), true);
}

void CMainDlg::OnDeleteExpiredTimer(std::time_t now) {
    // Every alarm in storage came through the alarm page, so when its list holds no one-off
    // alarm that has passed, there is nothing to delete and no need to open the file.
    if (!zorvel::MayHaveExpiredAlarms(alarmPage_->alarmList(), now, autoDeletedIds_))
        return;
    try {
        for (std::string& id : zorvel::AutoDeleteExpiredAlarms(now, deleteLogger))
            autoDeletedIds_.insert(std::move(id));
    } catch (const CppSQLite3Exception& e) {
        // A timer job tells no one; the next minute tries again.
        std::fprintf(stderr, "zorvel: %s\n", e.errorMessage());
    }
}

void CMainDlg::OnRestTimer() {
    const SettingsCache& cache = g_settingsCache();
    if (!rest_.Tick(cache.isRestRemind, cache.restRemindInterval))
        return;
    rest_.ReminderShown();
    if (showRestReminder)
        showRestReminder();
    rest_.ReminderClosed();
}

CMainDlg::~CMainDlg() {
    if (g_pMainDlg == this)
        g_pMainDlg = nullptr;
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
