#include "events/my_events_dlg.h"

#include <QStyle>
#include <algorithm>
#include <vector>

#include "app/change_notifier.h"
#include "events/event_editor_dlg.h"
#include "settings/pwd_input_dlg.h"
#include "settings/settings_service.h"
#include "storage/clock_manager.h"
#include "widgets/storage_action.h"
#include "widgets/stored_text.h"
#include "widgets/window_modal.h"
#include "widgets/zorvel_list_ctrl.h"

using namespace zorvel;

namespace {
enum Column { kNumber = 0, kId = 1, kContent = 2 };

const CListPage::Setup kSetup = {
    "eventsPage",
    "eventList",
    QStringLiteral("我的记事"),
    "addEventButton",
    QStringLiteral("添加事件"),
    "deleteEventButton",
    /*passwordGuarded=*/true,
    kId,
};
}  // namespace

CMyEventsDlg::CMyEventsDlg(CClockManager& manager, CChangeNotifier& notifier,
                           CSettingsService& settings, QWidget* parent)
    : CListPage(kSetup, manager.Database(), PasswordPromptFor(settings), parent),
      manager_(manager),
      settings_(settings) {
    CZorvelListCtrl* list = listCtrl();
    list->InsertColumn(kNumber, QStringLiteral("编号"),
                       list->FitWidth(QStringLiteral("99"), 50, true));
    list->InsertColumn(kId, QStringLiteral("ID"), 0);
    list->InsertColumn(kContent, QStringLiteral("记事（双击查看或者编辑）"), 500);
    list->SetColumnVisible(kId, false);
    eventImage_ = QIcon(QStringLiteral(":/events/memo.svg"));

    // Refilled after a deletion too, so the rows are numbered afresh.
    connect(&notifier, &CChangeNotifier::EventsChanged, this, [this] {
        TakeOwnDeletion();
        FillEventList();
    });
    connect(&settings, &CSettingsService::Changed, this, &CMyEventsDlg::OnSettingsChanged);
    FillEventList();
}

CMyEventsDlg::~CMyEventsDlg() {}

void CMyEventsDlg::resizeEvent(QResizeEvent* event) {
    CListPage::resizeEvent(event);
    // The text column is 500 pixels wide where the page has room for it, and no wider than
    // the page, so that it needs no scroll bar of its own.
    CZorvelListCtrl* list = listCtrl();
    const int room = list->width() - 2 * list->frameWidth() - list->GetColumnWidth(kNumber) -
                     list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->SetColumnWidth(kContent, std::clamp(room, 200, 500));
}

QString CMyEventsDlg::RowText(const QString& plainText) {
    auto isLineEnd = [](QChar c) {
        return c == u'\r' || c == u'\n' || c == QChar::LineSeparator ||
               c == QChar::ParagraphSeparator;
    };
    // From the first character that shows: a memo may start with blank lines.
    const qsizetype size = plainText.size();
    qsizetype start = 0;
    while (start < size && plainText[start].isSpace())
        ++start;
    qsizetype end = start;
    while (end < size && !isLineEnd(plainText[end]) && end - start <= kMaxRowChars)
        ++end;
    QString line = plainText.sliced(start, end - start);
    if (line.size() > kMaxRowChars) {
        // Cut, and not between the two halves of a character.
        qsizetype keep = kMaxRowChars - 1;
        if (line[keep - 1].isHighSurrogate())
            --keep;
        line = line.first(keep) + QChar(u'…');
    }
    return line;
}

void CMyEventsDlg::FillEventList() {
    std::vector<EventRecord> memos;
    if (!ReadForPage([&] { manager_.GetAllEvents(memos); }))
        return;
    textsHidden_ = settings_.value().isPwdReq;
    listCtrl()->DeleteAllItems();
    for (const EventRecord& memo : memos)
        AppendRow(eventImage_, FromStoredText(memo.id),
                  {textsHidden_ ? QStringLiteral("[内容已经隐藏...]")
                                : RowText(FromStoredText(memo.content1))});
}

void CMyEventsDlg::OnSettingsChanged() {
    // Only a switch of the protection changes what the rows show.
    if (settings_.value().isPwdReq != textsHidden_)
        FillEventList();
}

void CMyEventsDlg::OnAdd() {
    CAddEventDlg dlg(manager_, EditorParent());
    zorvel::RunWindowModal(dlg);
}

void CMyEventsDlg::EditItem(const QString& id) {
    CEditEventDlg dlg(id, manager_, EditorParent());
    RunEditor(dlg);
}

bool CMyEventsDlg::DeleteItem(const QString& id) {
    return manager_.RemoveEvent(id.toStdU16String());
}
