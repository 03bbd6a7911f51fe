#include "notes/shown_notes.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QToolTip>
#include <QWheelEvent>

#include "notes/add_note_dlg.h"
#include "notes/edit_note_dlg.h"
#include "notes/my_notes_dlg.h"
#include "notes/note_background_dlg.h"
#include "notes/note_text_view.h"
#include "notes/show_note_dlg.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"
#include "widgets/stored_text.h"
#include "widgets/zorvel_list_ctrl.h"

namespace {

using namespace zorvel;

// Three stored notes shown at start-up on a 1280 × 800 desktop; the third is marked as not on
// the desktop, which nothing acts on.
class DesktopNotesTest : public test::AppTest {
protected:
    void SetUp() override {
        QString lines;
        for (int i = 1; i <= 30; ++i)
            lines += QStringLiteral("第%1行\n").arg(i);
        texts = {"买菜", lines, "<b>不是</b> & 粗体"};
        for (int i = 0; i < 3; ++i) {
            std::u16string id;
            manager().AddNote(id, texts[i].toStdU16String(), 1, u"2011-09-01 08:00:00", i != 2);
            ids.push_back(QString::fromStdU16String(id));
        }
        app->Start();
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<CEditNoteDlg*>(w))
                w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    CShownNotes& desktop() { return context().shownNotes(); }
    CNoteBackgroundDlg* Note(int i) { return desktop().Find(ids[i]); }
    static std::vector<CEditNoteDlg*> OpenEditors() {
        std::vector<CEditNoteDlg*> found;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<CEditNoteDlg*>(w); d && d->isVisible())
                found.push_back(d);
        return found;
    }
    size_t StoredCount() {
        std::vector<NoteRecord> notes;
        manager().GetAllNotes(notes);
        return notes.size();
    }
    static void Wheel(QWidget* w, int delta) {
        const QPointF at(75, 80);
        QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &event);
    }
    static int FirstLine(CNoteBackgroundDlg* note) {
        return note->ContentDlg()->textView()->FirstLine();
    }

    test::ModalWatchdog watchdog;
    QStringList texts;
    std::vector<QString> ids;
};

TEST_F(DesktopNotesTest, StoredNotesStandInARowAlongTheTopRight) {
    ASSERT_EQ(desktop().notes().size(), 3u);
    const QPoint expected[] = {{1130, 0}, {980, 0}, {830, 0}};
    for (int i = 0; i < 3; ++i) {
        CNoteBackgroundDlg* note = Note(i);
        ASSERT_NE(note, nullptr);
        EXPECT_TRUE(note->isVisible());
        EXPECT_EQ(note->pos(), expected[i]);
        EXPECT_EQ(note->size(), QSize(150, 159));
        // A tool window without a frame: no taskbar button.
        EXPECT_TRUE(note->windowFlags().testFlag(Qt::Tool));
        EXPECT_TRUE(note->windowFlags().testFlag(Qt::FramelessWindowHint));
        // The text lies exactly over the picture and moves with it.
        EXPECT_EQ(note->ContentDlg()->parentWidget(), note);
        EXPECT_EQ(note->ContentDlg()->geometry(), note->rect());
        EXPECT_EQ(note->ContentDlg()->noteText(), texts[i]);
    }
    CNoteTextView* text = Note(0)->ContentDlg()->textView();
    EXPECT_EQ(text->geometry(), QRect(18, 29, 123, 99));
    EXPECT_EQ(text->text(), "买菜");
    EXPECT_EQ(text->accessibleName(), "买菜");
    EXPECT_EQ(QFontInfo(text->font()).family(), "Noto Sans CJK SC");
    // The picture is see-through around the note.
    const QImage& picture = CNoteBackgroundDlg::Picture(1.0);
    EXPECT_EQ(picture.size(), QSize(150, 159));
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(picture.pixel(149, 0)), 0);
    EXPECT_EQ(qAlpha(picture.pixel(75, 80)), 255);
}

TEST_F(DesktopNotesTest, MenuOffersEditDeleteCloseInThatOrder) {
    QStringList entries;
    for (QAction* action : Note(0)->Menu()->actions())
        entries << action->text();
    EXPECT_EQ(entries, QStringList({"编辑", "删除", "关闭"}));
}

TEST_F(DesktopNotesTest, ClosingFreesThePlaceForTheNextNote) {
    QPointer<CNoteBackgroundDlg> second = Note(1);
    second->Action(CNoteBackgroundDlg::kCloseCommand)->trigger();
    EXPECT_FALSE(second->isVisible());
    EXPECT_EQ(Note(1), nullptr);
    EXPECT_EQ(StoredCount(), 3u);

    CAddNoteDlg dlg(manager(), clock, nullptr);
    dlg.textEdit()->setPlainText("新的");
    dlg.OnOK();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    FlushChanges();  // the desktop follows the change notification
    CNoteBackgroundDlg* added = desktop().Find(dlg.newId());
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->pos(), QPoint(980, 0));
    // The next one goes to the left of the row.
    CAddNoteDlg next(manager(), clock, nullptr);
    next.OnOK();
    FlushChanges();
    EXPECT_EQ(desktop().Find(next.newId())->pos(), QPoint(680, 0));
}

TEST_F(DesktopNotesTest, AWindowSystemCloseActsAsClose) {
    QPointer<CNoteBackgroundDlg> first = Note(0);
    EXPECT_TRUE(first->close());
    EXPECT_EQ(Note(0), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    // An edit shows it again, in its old place since that is free.
    desktop().UpdateDesktopNote(ids[0], "又来了");
    ASSERT_NE(Note(0), nullptr);
    EXPECT_TRUE(Note(0)->isVisible());
    EXPECT_EQ(Note(0)->pos(), QPoint(1130, 0));
}

TEST_F(DesktopNotesTest, ReturnAndEscapeLeaveTheNoteAlone) {
    CNoteBackgroundDlg* note = Note(0);
    QTest::keyClick(note, Qt::Key_Escape);
    QTest::keyClick(note, Qt::Key_Return);
    QTest::keyClick(note, Qt::Key_Enter);
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(note->ContentDlg()->isVisible());
    EXPECT_EQ(Note(0), note);
}

TEST_F(DesktopNotesTest, DeletingFromTheDesktopReachesStorageAndThePage) {
    CMyNotesDlg page(context().store(), context().notifier(), desktop(), clock);
    ASSERT_EQ(page.listCtrl()->GetItemCount(), 3);
    QPointer<CNoteBackgroundDlg> second = Note(1);
    second->Action(CNoteBackgroundDlg::kDeleteCommand)->trigger();
    EXPECT_EQ(Note(1), nullptr);
    EXPECT_FALSE(second && second->isVisible());
    EXPECT_EQ(StoredCount(), 2u);
    FlushChanges();
    ASSERT_EQ(page.listCtrl()->GetItemCount(), 2);
    EXPECT_EQ(page.listCtrl()->GetItemText(1, CMyNotesDlg::kId), ids[2]);
    EXPECT_EQ(page.listCtrl()->GetItemText(1, CMyNotesDlg::kNumber), "2");
}

// Whoever writes the notes, the desktop follows once the change comes round; a closed note that
// did not change stays closed.
TEST_F(DesktopNotesTest, TheDesktopFollowsTheStoredNotesWhoeverWritesThem) {
    Note(0)->Action(CNoteBackgroundDlg::kCloseCommand)->trigger();
    std::u16string added;
    manager().AddNote(added, u"外来", 1, u"2011-09-18 10:15:30", true);
    manager().ModifyNote(ToStoredText(ids[1]), u"改了", 1, u"2011-09-18 10:15:31", true);
    manager().RemoveNote(ids[2].toStdU16String());
    FlushChanges();
    ASSERT_NE(desktop().Find(QString::fromStdU16String(added)), nullptr);
    EXPECT_EQ(Note(1)->ContentDlg()->noteText(), "改了");
    EXPECT_EQ(Note(2), nullptr);
    EXPECT_EQ(Note(0), nullptr);
    EXPECT_EQ(desktop().notes().size(), 2u);
}

TEST_F(DesktopNotesTest, EditFromTheDesktopOpensOneEditorThatWaitsForNothing) {
    Note(0)->Action(CNoteBackgroundDlg::kEditCommand)->trigger();
    Note(0)->Action(CNoteBackgroundDlg::kEditCommand)->trigger();
    std::vector<CEditNoteDlg*> editors = OpenEditors();
    ASSERT_EQ(editors.size(), 1u);
    CEditNoteDlg* editor = editors[0];
    // Beside the other windows: no window it belongs to, nothing blocked.
    EXPECT_EQ(editor->parentWidget(), nullptr);
    EXPECT_EQ(editor->windowModality(), Qt::NonModal);
    EXPECT_EQ(editor->textEdit()->toPlainText(), "买菜");
    editor->textEdit()->setPlainText("买菜\n买米");
    editor->findChild<QPushButton*>("okButton")->click();
    EXPECT_TRUE(OpenEditors().empty());
    FlushChanges();  // the desktop follows the change notification
    EXPECT_EQ(Note(0)->ContentDlg()->noteText(), "买菜\n买米");
    EXPECT_TRUE(Note(0)->ContentDlg()->toolTipText().contains("买米"));
    NoteRecord stored;
    manager().GetNote(ToStoredText(ids[0]), &stored);
    EXPECT_EQ(FromStoredText(stored.content), "买菜\n买米");

    // Deleted from the desktop while its editor is open: saving stores it anew.
    Note(1)->Action(CNoteBackgroundDlg::kEditCommand)->trigger();
    ASSERT_EQ(OpenEditors().size(), 1u);
    Note(1)->Action(CNoteBackgroundDlg::kDeleteCommand)->trigger();
    ASSERT_EQ(OpenEditors().size(), 1u);
    OpenEditors()[0]->findChild<QPushButton*>("okButton")->click();
    FlushChanges();
    EXPECT_EQ(StoredCount(), 3u);
    EXPECT_EQ(desktop().notes().size(), 3u);
    EXPECT_EQ(Note(1), nullptr);
}

TEST_F(DesktopNotesTest, WheelAndArrowKeysScrollByWholeLines) {
    CNoteBackgroundDlg* note = Note(1);
    CNoteTextView* text = note->ContentDlg()->textView();
    // 30 lines and the empty one after the last line break; whole lines fit, no part of one.
    ASSERT_EQ(text->LineCount(), 31);
    EXPECT_EQ(text->VisibleLines(), text->height() / text->LineHeight());
    Wheel(note, -120);
    EXPECT_EQ(FirstLine(note), 1);
    Wheel(note, -240);
    EXPECT_EQ(FirstLine(note), 3);
    Wheel(note, 120);
    EXPECT_EQ(FirstLine(note), 2);
    // A touchpad's small steps add up to a notch.
    Wheel(note, -60);
    EXPECT_EQ(FirstLine(note), 2);
    Wheel(note, -60);
    EXPECT_EQ(FirstLine(note), 3);
    QTest::keyClick(note, Qt::Key_Down);
    EXPECT_EQ(FirstLine(note), 4);
    QTest::keyClick(note, Qt::Key_Up);
    QTest::keyClick(note, Qt::Key_Up);
    EXPECT_EQ(FirstLine(note), 2);
    // Neither before the first line nor past the point where the last one is at the bottom.
    for (int i = 0; i < 5; ++i)
        Wheel(note, 120);
    EXPECT_EQ(FirstLine(note), 0);
    for (int i = 0; i < 40; ++i)
        QTest::keyClick(note, Qt::Key_Down);
    EXPECT_EQ(FirstLine(note), 31 - text->VisibleLines());
    // A new text starts at its top.
    note->SetNoteText("短");
    EXPECT_EQ(FirstLine(note), 0);
}

TEST_F(DesktopNotesTest, TooltipShowsTheWholeNoteAsWritten) {
    CShowNoteDlg* content = Note(2)->ContentDlg();
    const QString tip = content->toolTipText();
    EXPECT_TRUE(tip.contains("&lt;b&gt;不是&lt;/b&gt; &amp; 粗体"));
    EXPECT_FALSE(tip.contains("F1"));
    EXPECT_TRUE(content->styleSheet().contains("qlineargradient"));
    // Hovering over the text shows it; over the rest of the note it does not.
    Note(2)->activateWindow();
    QHelpEvent over(QEvent::ToolTip, QPoint(60, 60), content->mapToGlobal(QPoint(60, 60)));
    QApplication::sendEvent(content, &over);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), tip);
    QHelpEvent beside(QEvent::ToolTip, QPoint(5, 150), content->mapToGlobal(QPoint(5, 150)));
    QApplication::sendEvent(content, &beside);
    EXPECT_TRUE(test::WaitUntil([] { return !QToolTip::isVisible(); }));
    // Rebuilt with the text.
    Note(2)->SetNoteText("新\n文");
    EXPECT_TRUE(content->toolTipText().contains("新\n文"));
    EXPECT_FALSE(content->toolTipText().contains("粗体"));
}

TEST_F(DesktopNotesTest, DraggingIsTheWindowSystemsMoveOrOurOwn) {
    CNoteBackgroundDlg* note = Note(0);
    // Pressing on the text is pressing on the note.
    QTest::mousePress(note->ContentDlg(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 60));
    EXPECT_EQ(shell.activeWindow, note);
    QTest::mouseMove(note->ContentDlg(), QPoint(62, 61));
    EXPECT_EQ(shell.systemMoves, 0);  // not yet a drag
    QTest::mouseMove(note->ContentDlg(), QPoint(90, 90));
    EXPECT_EQ(shell.systemMoves, 1);
    QTest::mouseRelease(note->ContentDlg(), Qt::LeftButton, Qt::NoModifier, QPoint(90, 90));

    shell.systemMoveWorks = false;
    const QPoint start = note->pos();
    QTest::mousePress(note, Qt::LeftButton, Qt::NoModifier, QPoint(75, 140));
    QTest::mouseMove(note, QPoint(75 - 40, 140 + 30));
    QTest::mouseRelease(note, Qt::LeftButton, Qt::NoModifier, QPoint(75 - 40, 140 + 30));
    EXPECT_EQ(note->pos(), start + QPoint(-40, 30));
}

}  // namespace
