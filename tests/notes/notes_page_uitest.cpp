#include "notes/my_notes_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include "notes/add_note_dlg.h"
#include "notes/edit_note_dlg.h"
#include "notes/note_background_dlg.h"
#include "notes/show_note_dlg.h"
#include "notes/shown_notes.h"
#include "settings/core/password_hash.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"
#include "widgets/stored_text.h"
#include "widgets/zorvel_list_ctrl.h"

namespace {

using namespace zorvel;

// The notes page over five stored notes, all of them on the desktop, at 2011-09-18 10:15:30.
class NotesPageTest : public test::AppTest {
protected:
    void SetUp() override {
        for (const char16_t* text : {u"买菜", u"第二行\r\n之后", u"三", u"四", u"五"}) {
            std::u16string id;
            manager().AddNote(id, text, 1, u"2011-09-01 08:00:00", true);
            ids.push_back(QString::fromStdU16String(id));
        }
        app->Start();
        page = std::make_unique<CMyNotesDlg>(context().store(), context().notifier(),
                                             context().shownNotes(), clock);
        page->show();
        list = page->listCtrl();
    }
    void TearDown() override {
        page.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    CShownNotes& desktop() { return context().shownNotes(); }
    QStringList Column(int column) {
        QStringList texts;
        for (int r = 0; r < list->GetItemCount(); ++r)
            texts << list->GetItemText(r, column);
        return texts;
    }
    std::vector<NoteRecord> StoredNotes() {
        std::vector<NoteRecord> notes;
        manager().GetAllNotes(notes);
        return notes;
    }
    void DoubleClickRow(int row) {
        test::ProcessEvents();
        QPoint at = list->visualRect(list->itemModel()->index(row, CMyNotesDlg::kContent)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    static void Save(CNoteEditorDlg* dlg, const QString& text) {
        dlg->textEdit()->setPlainText(text);
        dlg->findChild<QPushButton*>("okButton")->click();
    }

    test::ModalWatchdog watchdog;
    std::vector<QString> ids;
    std::unique_ptr<CMyNotesDlg> page;
    CZorvelListCtrl* list = nullptr;
};

TEST_F(NotesPageTest, ListsEveryNoteOnOneLineWithItsPicture) {
    EXPECT_EQ(page->addButton()->text(), "添加便笺");
    const QStringList headings = {"编号", "便笺内容（双击查看或者编辑）", "贴在桌面上", "ID"};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(list->itemModel()->horizontalHeaderItem(c)->text(), headings[c]);
    EXPECT_TRUE(list->IsColumnVisible(CMyNotesDlg::kNumber));
    EXPECT_TRUE(list->IsColumnVisible(CMyNotesDlg::kContent));
    EXPECT_FALSE(list->IsColumnVisible(CMyNotesDlg::kOnDesktop));
    EXPECT_FALSE(list->IsColumnVisible(CMyNotesDlg::kId));
    EXPECT_GE(list->GetColumnWidth(CMyNotesDlg::kContent), 400);
    EXPECT_GE(list->GetColumnWidth(CMyNotesDlg::kNumber), 50);

    EXPECT_EQ(Column(CMyNotesDlg::kNumber), QStringList({"1", "2", "3", "4", "5"}));
    EXPECT_EQ(Column(CMyNotesDlg::kContent),
              QStringList({"买菜", "第二行 之后", "三", "四", "五"}));
    EXPECT_EQ(Column(CMyNotesDlg::kId), QStringList(ids.begin(), ids.end()));
    EXPECT_EQ(Column(CMyNotesDlg::kOnDesktop), QStringList(5, QString()));
    EXPECT_FALSE(list->itemModel()->item(0, 0)->icon().isNull());
    EXPECT_EQ(list->iconSize(), QSize(32, 32));
}

TEST_F(NotesPageTest, AddedNoteIsStoredListedAndOnTheDesktopAtOnce) {
    bool seen = false;
    test::WhenModal<CAddNoteDlg>([&](CAddNoteDlg* dlg) {
        seen = true;
        EXPECT_EQ(dlg->windowTitle(), "添加便笺");
        EXPECT_EQ(dlg->windowModality(), Qt::WindowModal);
        for (auto* button : dlg->findChildren<QPushButton*>()) {
            EXPECT_FALSE(button->isDefault()) << button->text().toStdString();
            EXPECT_FALSE(button->autoDefault()) << button->text().toStdString();
        }
        EXPECT_EQ(QFontInfo(dlg->textEdit()->font()).family(), "Noto Serif CJK SC");
        // Return makes a new line and leaves the dialog open.
        dlg->textEdit()->setFocus();
        QTest::keyClicks(dlg->textEdit(), "milk");
        QTest::keyClick(dlg->textEdit(), Qt::Key_Return);
        QTest::keyClicks(dlg->textEdit(), "eggs");
        EXPECT_TRUE(dlg->isVisible());
        dlg->findChild<QPushButton*>("okButton")->click();
    });
    page->addButton()->click();
    ASSERT_TRUE(seen);

    const std::vector<NoteRecord> notes = StoredNotes();
    ASSERT_EQ(notes.size(), 6u);
    const NoteRecord& added = notes.back();
    EXPECT_EQ(FromStoredText(added.content), "milk\neggs");
    EXPECT_TRUE(added.isRing);
    EXPECT_EQ(added.ringTime, "2011-09-18 10:15:30");
    EXPECT_TRUE(added.isShowOnDesktop);

    FlushChanges();  // the desktop and the list follow the change notification
    CNoteBackgroundDlg* note = desktop().Find(FromStoredText(added.id));
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->pos(), QPoint(1280 - 6 * 150, 0));  // left of the five shown
    EXPECT_EQ(note->ContentDlg()->noteText(), "milk\neggs");

    FlushChanges();
    ASSERT_EQ(list->GetItemCount(), 6);
    EXPECT_EQ(list->GetItemText(5, CMyNotesDlg::kContent), "milk eggs");
    EXPECT_EQ(list->GetItemText(5, CMyNotesDlg::kNumber), "6");
}

TEST_F(NotesPageTest, TextsOverFourHundredFiftyUnitsAreRefusedAndKept) {
    // Units, not characters, count: one character outside the basic plane takes two.
    const QString smile = QString::fromUcs4(U"\U0001F600");
    const QString tooLong = QString(449, QChar(0x5B57)) + smile;
    const QString longest = QString(448, QChar(0x5B57)) + smile;
    ASSERT_EQ(tooLong.size(), 451);
    ASSERT_EQ(longest.size(), 450);
    QString message;
    bool refused = false;
    test::WhenModal<CAddNoteDlg>([&](CAddNoteDlg* dlg) {
        test::CloseNextMessageBox(&message);
        Save(dlg, tooLong);
        ASSERT_TRUE(test::WaitUntil([&] { return !message.isEmpty(); }));
        refused = dlg->isVisible() && dlg->textEdit()->toPlainText() == tooLong;
        Save(dlg, longest);
    });
    page->addButton()->click();
    EXPECT_EQ(message, "便笺最多 450 个字符");
    EXPECT_TRUE(refused);
    const std::vector<NoteRecord> notes = StoredNotes();
    ASSERT_EQ(notes.size(), 6u);
    EXPECT_EQ(FromStoredText(notes.back().content), longest);
    FlushChanges();
    EXPECT_EQ(desktop().notes().size(), 6u);
}

TEST_F(NotesPageTest, EditingChangesStorageListAndDesktopNote) {
    bool seen = false;
    test::WhenModal<CEditNoteDlg>([&](CEditNoteDlg* dlg) {
        seen = true;
        EXPECT_EQ(dlg->windowTitle(), "编辑便笺");
        // Line breaks stored by any program show as lines; the format is the editor's own.
        EXPECT_EQ(dlg->textEdit()->toPlainText(), "第二行\n之后");
        // Only plain text goes in, also when pasting.
        auto* data = new QMimeData;
        data->setHtml("<span style='color:#ff0000;font-style:italic'>红</span>");
        data->setText("红");
        QApplication::clipboard()->setMimeData(data);
        dlg->textEdit()->moveCursor(QTextCursor::End);
        dlg->textEdit()->paste();
        EXPECT_EQ(dlg->textEdit()->toPlainText(), "第二行\n之后红");
        EXPECT_FALSE(dlg->textEdit()->toHtml().contains("#ff0000"));
        dlg->findChild<QPushButton*>("okButton")->click();
    });
    DoubleClickRow(1);
    ASSERT_TRUE(seen);
    NoteRecord stored;
    manager().GetNote(ToStoredText(ids[1]), &stored);
    EXPECT_EQ(FromStoredText(stored.content), "第二行\n之后红");
    EXPECT_EQ(stored.ringTime, "2011-09-18 10:15:30");
    FlushChanges();
    EXPECT_EQ(desktop().Find(ids[1])->ContentDlg()->noteText(), "第二行\n之后红");
    EXPECT_EQ(list->GetItemText(1, CMyNotesDlg::kContent), "第二行 之后红");

    // Double-clicking below the last row opens nothing.
    test::ProcessEvents();
    const QPoint below(20, list->visualRect(list->itemModel()->index(4, 1)).bottom() + 20);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, below);
    test::ProcessEvents();
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<CEditNoteDlg*>(w) && w->isVisible());
}

TEST_F(NotesPageTest, DeletingLeavesTheOtherRowsNumberedUntilRefilled) {
    // No password is asked for notes, even when one is required elsewhere.
    database().SetDelPwd(HashPassword(u"口令", 1000));
    database().SetPwdReq(true);
    page->deleteButton()->click();  // nothing selected
    EXPECT_EQ(list->GetItemCount(), 5);

    list->SelectRow(1);
    list->SelectRow(2);
    page->deleteButton()->click();
    EXPECT_EQ(Column(CMyNotesDlg::kNumber), QStringList({"1", "4", "5"}));
    FlushChanges();
    EXPECT_EQ(Column(CMyNotesDlg::kNumber), QStringList({"1", "4", "5"}));
    EXPECT_EQ(Column(CMyNotesDlg::kId), QStringList({ids[0], ids[3], ids[4]}));
    EXPECT_EQ(StoredNotes().size(), 3u);
    EXPECT_EQ(desktop().Find(ids[1]), nullptr);
    EXPECT_EQ(desktop().Find(ids[2]), nullptr);
    EXPECT_EQ(desktop().notes().size(), 3u);
    page->FillNoteList();
    EXPECT_EQ(Column(CMyNotesDlg::kNumber), QStringList({"1", "2", "3"}));
}

TEST_F(NotesPageTest, EditingAClosedNoteShowsItAgainAtTheFirstFreePlace) {
    CNoteBackgroundDlg* first = desktop().Find(ids[0]);
    ASSERT_EQ(first->pos(), QPoint(1130, 0));
    first->Action(CNoteBackgroundDlg::kCloseCommand)->trigger();
    EXPECT_EQ(desktop().Find(ids[0]), nullptr);
    EXPECT_EQ(StoredNotes().size(), 5u);  // closed, not deleted

    test::WhenModal<CEditNoteDlg>([](CEditNoteDlg* dlg) { Save(dlg, "买菜和米"); });
    DoubleClickRow(0);
    FlushChanges();
    CNoteBackgroundDlg* again = desktop().Find(ids[0]);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->isVisible());
    EXPECT_EQ(again->pos(), QPoint(1130, 0));
    EXPECT_EQ(again->ContentDlg()->noteText(), "买菜和米");
}

TEST_F(NotesPageTest, ANoteDeletedWhileItsEditorIsOpenIsStoredAnew) {
    test::WhenModal<CEditNoteDlg>([&](CEditNoteDlg* dlg) {
        // Meanwhile the note is deleted from the desktop.
        desktop().Find(ids[2])->Action(CNoteBackgroundDlg::kDeleteCommand)->trigger();
        Save(dlg, "三，不要丢");
    });
    DoubleClickRow(2);
    FlushChanges();
    const std::vector<NoteRecord> notes = StoredNotes();
    ASSERT_EQ(notes.size(), 5u);
    EXPECT_EQ(FromStoredText(notes.back().content), "三，不要丢");
    const QString newId = FromStoredText(notes.back().id);
    EXPECT_NE(newId, ids[2]);
    EXPECT_EQ(desktop().Find(ids[2]), nullptr);
    ASSERT_NE(desktop().Find(newId), nullptr);
    // It takes the place the deleted note left.
    EXPECT_EQ(desktop().Find(newId)->pos(), QPoint(830, 0));
    FlushChanges();
    EXPECT_EQ(Column(CMyNotesDlg::kContent).last(), "三，不要丢");
}

TEST_F(NotesPageTest, TypedTextIsDroppedOnlyAfterAsking) {
    int asked = 0;
    bool kept = false;
    test::WhenModal<CAddNoteDlg>([&](CAddNoteDlg* dlg) {
        QTest::keyClicks(dlg->textEdit(), "milk");
        // Escape, "取消" and the close box each ask; 否 keeps the editor with the text.
        test::AnswerDiscardQuestion(QMessageBox::No, &asked);
        QTest::keyClick(dlg->textEdit(), Qt::Key_Escape);
        test::AnswerDiscardQuestion(QMessageBox::No, &asked);
        dlg->findChild<QPushButton*>("cancelButton")->click();
        test::AnswerDiscardQuestion(QMessageBox::No, &asked);
        dlg->close();
        kept = asked == 3 && dlg->isVisible() && dlg->textEdit()->toPlainText() == "milk";
        test::AnswerDiscardQuestion(QMessageBox::Yes, &asked);
        QTest::keyClick(dlg->textEdit(), Qt::Key_Escape);
    });
    page->addButton()->click();
    EXPECT_TRUE(kept);
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(StoredNotes().size(), 5u);

    // Unchanged, or changed back to what it opened with, an editor closes at once.
    bool closedAtOnce = false;
    test::WhenModal<CEditNoteDlg>([&](CEditNoteDlg* dlg) {
        QTest::keyClick(dlg->textEdit(), Qt::Key_Escape);
        closedAtOnce = !dlg->isVisible();
    });
    DoubleClickRow(0);
    EXPECT_TRUE(closedAtOnce);
    closedAtOnce = false;
    test::WhenModal<CEditNoteDlg>([&](CEditNoteDlg* dlg) {
        QTest::keyClicks(dlg->textEdit(), " x");
        EXPECT_TRUE(dlg->HasChanges());
        QTest::keyClick(dlg->textEdit(), Qt::Key_Backspace);
        QTest::keyClick(dlg->textEdit(), Qt::Key_Backspace);
        dlg->findChild<QPushButton*>("cancelButton")->click();
        closedAtOnce = !dlg->isVisible();
    });
    DoubleClickRow(0);
    EXPECT_TRUE(closedAtOnce);
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(FromStoredText(StoredNotes().front().content), "买菜");
}

}  // namespace
