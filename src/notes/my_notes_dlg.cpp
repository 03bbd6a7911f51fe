#include "notes/my_notes_dlg.h"

#include <QHeaderView>
#include <vector>

#include "app/change_notifier.h"
#include "notes/add_note_dlg.h"
#include "notes/edit_note_dlg.h"
#include "notes/shown_notes.h"
#include "storage/clock_manager.h"
#include "widgets/storage_action.h"
#include "widgets/stored_text.h"
#include "widgets/window_modal.h"
#include "widgets/zorvel_list_ctrl.h"

using namespace zorvel;

namespace {

const CListPage::Setup kSetup = {
    "notesPage",
    "noteList",
    QStringLiteral("我的便笺"),
    "addNoteButton",
    QStringLiteral("添加便笺"),
    "deleteNoteButton",
    /*passwordGuarded=*/false,
    CMyNotesDlg::kId,
};

// A row shows the note on one line: its line breaks become blanks.
QString RowText(const QString& content) {
    QString text = content;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

}  // namespace

CMyNotesDlg::CMyNotesDlg(CStore& store, CChangeNotifier& notifier, CShownNotes& shownNotes,
                         const Clock& clock, QWidget* parent)
    : CListPage(kSetup, store.Database(), nullptr, parent),
      store_(store),
      shownNotes_(shownNotes),
      clock_(clock) {
    resize(562, 334);
    CZorvelListCtrl* list = listCtrl();
    list->InsertColumn(kNumber, QStringLiteral("编号"),
                       list->FitWidth(QStringLiteral("99"), 50, true));
    list->InsertColumn(kContent, QStringLiteral("便笺内容（双击查看或者编辑）"), 400);
    list->InsertColumn(kOnDesktop, QStringLiteral("贴在桌面上"), 100);
    list->InsertColumn(kId, QStringLiteral("ID"), 100);
    list->SetColumnVisible(kId, false);
    list->SetColumnVisible(kOnDesktop, false);
    // The hidden columns stand in front: the note's text is the last column shown, and it
    // takes whatever width the page has beyond its 400 pixels.
    list->header()->setStretchLastSection(true);
    noteImage = QIcon(QStringLiteral(":/notes/note_small.svg"));

    connect(&notifier, &CChangeNotifier::NotesChanged, this, &CMyNotesDlg::OnStoredChange);
    FillNoteList();
}

CMyNotesDlg::~CMyNotesDlg() {}

void CMyNotesDlg::FillNoteList() {
    std::vector<NoteRecord> notes;
    if (!ReadForPage([&] { store_.Manager().GetAllNotes(notes); }))
        return;
    CZorvelListCtrl* list = listCtrl();
    list->DeleteAllItems();
    for (const NoteRecord& note : notes) {
        const int row = list->InsertItem(list->GetItemCount(),
                                         QString::number(list->GetItemCount() + 1), noteImage);
        list->SetItemText(row, kId, FromStoredText(note.id));
        list->SetItemText(row, kContent, RowText(FromStoredText(note.content)));
    }
}

void CMyNotesDlg::OnAdd() {
    CAddNoteDlg dlg(store_.Manager(), clock_, EditorParent());
    zorvel::RunWindowModal(dlg);
}

void CMyNotesDlg::EditItem(const QString& id) {
    CEditNoteDlg dlg(id, store_.Manager(), clock_, EditorParent());
    RunEditor(dlg);
}

bool CMyNotesDlg::DeleteItem(const QString& id) {
    return shownNotes_.DeleteNoteEverywhere(id);
}
