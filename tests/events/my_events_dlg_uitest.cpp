#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "events/event_editor_dlg.h"
#include "events/my_events_dlg.h"
#include "richtext/core/rtf_reader.h"
#include "richtext/rich_text_model.h"
#include "richtext/ruler_rich_edit_ctrl.h"
#include "settings/core/password_hash.h"
#include "settings/pwd_input_dlg.h"
#include "storage/clock_manager.h"
#include "storage/text_codec.h"
#include "support/test_app.h"
#include "support/ui_helpers.h"
#include "widgets/core/memo_limits.h"
#include "widgets/zorvel_list_ctrl.h"

namespace {

using namespace zorvel;

const char kBoldRedMemo[] =
    "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 Times New Roman;}}{\\colortbl;\\red255\\green0"
    "\\blue0;}\\pard\\plain\\f0\\fs32\\b\\cf1 \\u26631?\\u39064?\\par\\pard\\qc\\plain\\f0\\fs20 "
    "second\\par}";

class MemoPageTest : public test::AppTest {
protected:
    void SetUp() override {
        manager().AddEvent(u"{\\rtf1 first\\par line\\par}", u"first\r\nline");
        manager().AddEvent(Utf8ToUtf16(kBoldRedMemo), u"标题\r\nsecond");
        page =
            std::make_unique<CMyEventsDlg>(manager(), context().notifier(), context().settings());
        page->resize(560, 330);
        page->show();
        list = page->listCtrl();
    }
    void TearDown() override { page.reset(); }

    std::vector<EventRecord> Memos() {
        std::vector<EventRecord> memos;
        manager().GetAllEvents(memos);
        return memos;
    }
    QStringList Rows(int column) {
        QStringList texts;
        for (int r = 0; r < list->GetItemCount(); ++r)
            texts << list->GetItemText(r, column);
        return texts;
    }
    void DoubleClickRow(int row) {
        test::ProcessEvents();
        const QPoint at = list->visualRect(list->itemModel()->index(row, 2)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    void Delete() { page->findChild<QPushButton*>("deleteEventButton")->click(); }
    void Protect() {
        database().SetDelPwd(HashPassword(u"口令", 1000));
        database().SetPwdReq(true);
        FlushChanges();
    }
    // Answers the next password prompt with `password`, or cancels it; counts the prompts.
    void AnswerPrompt(const QString& password) {
        test::WhenModal<CPwdInputDlg>([this, password](CPwdInputDlg* dlg) {
            ++prompts;
            if (password.isEmpty()) {
                dlg->findChild<QPushButton*>("cancelButton")->click();
                return;
            }
            QPointer<CPwdInputDlg> prompt = dlg;
            dlg->findChild<QLineEdit*>("pwdInputEdit")->setText(password);
            dlg->findChild<QPushButton*>("okButton")->click();
            // The check runs off the UI thread and may take long on a busy machine.
            ASSERT_TRUE(test::WaitUntil([&] { return !prompt || !prompt->IsBusy(); }, 30000));
        });
    }

    test::ModalWatchdog watchdog;
    std::unique_ptr<CMyEventsDlg> page;
    CZorvelListCtrl* list = nullptr;
    int prompts = 0;
};

TEST_F(MemoPageTest, RowsShowThePlainTextAndHideItWhileProtected) {
    EXPECT_FALSE(list->IsColumnVisible(1));
    // As wide as the page allows, up to 500 pixels.
    EXPECT_LE(list->GetColumnWidth(2), 500);
    EXPECT_LE(list->GetColumnWidth(0) + list->GetColumnWidth(2), list->viewport()->width());
    page->resize(800, 330);
    EXPECT_EQ(list->GetColumnWidth(2), 500);
    EXPECT_EQ(Rows(0), QStringList({"1", "2"}));
    EXPECT_EQ(Rows(1)[0], QString::fromStdString(Memos()[0].id));
    // The first line.
    EXPECT_EQ(Rows(2), QStringList({"first", "标题"}));

    Protect();
    EXPECT_EQ(Rows(2), QStringList({"[内容已经隐藏...]", "[内容已经隐藏...]"}));
    // A memo written meanwhile is hidden too.
    manager().AddEvent(u"x", u"third");
    FlushChanges();
    EXPECT_EQ(Rows(2).size(), 3);
    EXPECT_EQ(Rows(2)[2], "[内容已经隐藏...]");
    database().SetPwdReq(false);
    FlushChanges();
    EXPECT_EQ(Rows(2), QStringList({"first", "标题", "third"}));
    page.reset();
}

TEST_F(MemoPageTest, PasswordIsAskedBeforeEditingAndDeletingEvenWithNothingSelected) {
    Protect();
    int editors = 0;
    test::WhenModal<CEditEventDlg>([&](CEditEventDlg* dlg) {
        ++editors;
        dlg->cancelButton()->click();
    });
    // Below the last row there is nothing to open, and nothing is asked.
    const QPoint below(20, list->viewport()->height() - 5);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, below);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, below);
    test::ProcessEvents();
    EXPECT_EQ(prompts, 0);
    AnswerPrompt({});
    DoubleClickRow(0);
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(editors, 0);
    AnswerPrompt("口令");
    DoubleClickRow(1);
    EXPECT_EQ(prompts, 2);
    EXPECT_EQ(editors, 1);

    AnswerPrompt({});
    Delete();  // nothing selected
    EXPECT_EQ(prompts, 3);
    list->SelectRow(0, false);
    AnswerPrompt({});
    Delete();
    EXPECT_EQ(prompts, 4);
    EXPECT_EQ(Memos().size(), 2u);
    EXPECT_EQ(list->GetItemCount(), 2);
}

TEST_F(MemoPageTest, AddingStoresTheRichAndThePlainText) {
    test::WhenModal<CAddEventDlg>([](CAddEventDlg* dlg) {
        EXPECT_EQ(dlg->windowTitle(), "添加事件");
        EXPECT_TRUE(dlg->windowState() & Qt::WindowMaximized);
        EXPECT_TRUE(dlg->okButton()->isDefault());
        EXPECT_EQ(dlg->windowModality(), Qt::WindowModal);
        QTextEdit* text = dlg->editor()->textArea();
        QTest::keyClicks(text, "new");
        QTest::keyClick(text, Qt::Key_Return);
        text->insertPlainText(QStringLiteral("备忘"));
        text->selectAll();
        dlg->editor()->OnBold();
        dlg->okButton()->click();
    });
    page->findChild<QPushButton*>("addEventButton")->click();
    ASSERT_EQ(Memos().size(), 3u);
    const EventRecord memo = Memos()[2];
    EXPECT_EQ(FromStored(memo.content1), u"new\r\n备忘");
    EXPECT_TRUE(memo.lastUpdateTime.empty());
    EXPECT_EQ(memo.addTime, "2011-09-18 10:15:30");
    const rtf::Document rich = rtf::ReadRtf(memo.content);
    ASSERT_EQ(rich.paragraphs.size(), 2u);
    EXPECT_TRUE(rich.paragraphs[1].runs.at(0).format.bold);
    EXPECT_EQ(rich.paragraphs[1].runs[0].text, u"备忘");
    FlushChanges();
    EXPECT_EQ(Rows(2).value(2), "new");
}

TEST_F(MemoPageTest, EditingShowsTheFormatsAndBothTimesInTheCaption) {
    EXPECT_EQ(CEditEventDlg::Caption("2011-09-18 10:00:00", ""),
              "编辑事件   事件添加时间：2011-09-18 10:00:00   ");
    EXPECT_EQ(CEditEventDlg::Caption("2011-09-18 10:00:00", "2011-09-19 08:30:00"),
              "编辑事件   事件添加时间：2011-09-18 10:00:00   最后修改时间：2011-09-19 08:30:00");

    test::WhenModal<CEditEventDlg>([](CEditEventDlg* dlg) {
        EXPECT_EQ(dlg->windowTitle(), "编辑事件   事件添加时间：2011-09-18 10:15:30   ");
        EXPECT_TRUE(dlg->windowState() & Qt::WindowMaximized);
        const rtf::Document shown = ToModel(*dlg->editor()->textArea()->document());
        ASSERT_EQ(shown.paragraphs.size(), 2u);
        const rtf::CharFormat title = shown.paragraphs[0].runs.at(0).format;
        EXPECT_TRUE(title.bold);
        EXPECT_EQ(title.halfPoints, 32);
        EXPECT_EQ(title.color, 0xFF0000u);
        EXPECT_EQ(shown.paragraphs[1].format.align, rtf::Align::kCenter);
        QTextCursor end = dlg->editor()->textArea()->textCursor();
        end.movePosition(QTextCursor::End);
        dlg->editor()->textArea()->setTextCursor(end);
        QTest::keyClicks(dlg->editor()->textArea(), " line");
        dlg->okButton()->click();
    });
    clock.Advance(std::chrono::hours(22));
    DoubleClickRow(1);
    const EventRecord memo = Memos()[1];
    EXPECT_EQ(FromStored(memo.content1), u"标题\r\nsecond line");
    EXPECT_EQ(memo.lastUpdateTime, "2011-09-19 08:15:30");
    EXPECT_EQ(memo.addTime, "2011-09-18 10:15:30");

    test::WhenModal<CEditEventDlg>([](CEditEventDlg* dlg) {
        EXPECT_EQ(dlg->windowTitle(),
                  "编辑事件   事件添加时间：2011-09-18 10:15:30   "
                  "最后修改时间：2011-09-19 08:15:30");
        EXPECT_TRUE(
            ToModel(*dlg->editor()->textArea()->document()).paragraphs[0].runs[0].format.bold);
        dlg->cancelButton()->click();
    });
    DoubleClickRow(1);
}

TEST_F(MemoPageTest, RowsShowTheFirstLineCutShortAndAreNumberedAfreshAfterADeletion) {
    // Five megabytes pasted on one line, and a memo that starts with blank lines.
    manager().AddEvent(u"x", (QString(5'000'000, u'长') + "\r\nmore").toStdU16String());
    manager().AddEvent(u"x", u"\r\n\r\n  \u5F00\u5934\r\nnext");
    FlushChanges();
    ASSERT_EQ(list->GetItemCount(), 4);
    EXPECT_EQ(Rows(2)[2], QString(199, u'长') + u'…');
    EXPECT_EQ(Rows(2)[3], "开头");
    // Rows stay one line high.
    test::ProcessEvents();
    EXPECT_EQ(list->visualRect(list->itemModel()->index(2, 2)).height(),
              list->visualRect(list->itemModel()->index(0, 2)).height());
    // A line cut is never cut between the two halves of a character.
    EXPECT_EQ(CMyEventsDlg::RowText(QString(198, u'a') + QString::fromUtf16(u"\U0001F600") + "b"),
              QString(198, u'a') + u'…');

    list->SelectRow(1, false);
    Delete();
    FlushChanges();
    EXPECT_EQ(Rows(0), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Rows(2)[0], "first");
    EXPECT_EQ(Rows(2)[2], "开头");
}

// A memo the editor cannot edit whole opens at once for reading only, says so, and is never
// saved from there.
TEST_F(MemoPageTest, AMillionBlankLinesOrAMemoOverTheLimitOpenAtOnceForReadingOnly) {
    std::string million = "{\\rtf1\\ansi ";
    for (int i = 0; i < 1000000; ++i)
        million += "\\par";
    million += "}";
    std::u16string millionPlain;
    for (int i = 0; i < 999999; ++i)
        millionPlain += u"\r\n";
    // Over the limit: a line, then more text than that on one line.
    const std::string over =
        "{\\rtf1\\ansi head\\par " + std::string(rtf::kMaxMemoChars + 100, 'x') + "}";
    manager().AddEvent(Utf8ToUtf16(million), millionPlain);
    manager().AddEvent(Utf8ToUtf16(over), u"head");
    FlushChanges();
    const std::vector<EventRecord> before = Memos();

    for (int row : {2, 3}) {
        QString notice;
        bool checked = false;
        test::WhenModal<CEditEventDlg>([&](CEditEventDlg* dlg) {
            ASSERT_TRUE(test::WaitUntil([&] { return !dlg->editor()->IsLoading(); }, 60000));
            notice = dlg->noticeLabel()->text();
            EXPECT_TRUE(dlg->noticeLabel()->isVisible());
            EXPECT_TRUE(dlg->editor()->textArea()->isReadOnly());
            EXPECT_FALSE(dlg->okButton()->isEnabled());
            const rtf::Document shown = ToModel(*dlg->editor()->textArea()->document());
            if (row == 2) {
                // Laid out as one paragraph.
                ASSERT_EQ(shown.paragraphs.size(), 1u);
                EXPECT_EQ(shown.paragraphs[0].followingBlanks, 999999);
                EXPECT_EQ(dlg->editor()->PlainText().toStdU16String(), millionPlain);
            } else {
                // The first kMaxMemoChars characters: "head", its line end and the x's.
                size_t chars = 0;
                for (const rtf::Paragraph& p : shown.paragraphs)
                    chars += rtf::TextLength(p);
                EXPECT_EQ(chars, rtf::kMaxMemoChars - 1);
                EXPECT_EQ(shown.paragraphs[0].runs.at(0).text, u"head");
            }
            dlg->OnOK();  // as "确定" would, were it enabled
            EXPECT_TRUE(dlg->isVisible());
            // Nothing to lose: Escape closes at once.
            QTest::keyClick(dlg->editor()->textArea(), Qt::Key_Escape);
            checked = !dlg->isVisible();
        });
        test::HangGuard guard("opening a memo of a million blank lines", 60);
        DoubleClickRow(row);
        EXPECT_TRUE(checked);
        if (row == 2)
            EXPECT_EQ(notice, "这条记事有上千行连续的空行，只能查看，不能修改。");
        else
            EXPECT_EQ(
                notice,
                "这条记事有 1,048,681 个字符，只显示了开头的 1,048,576 个，只能查看，不能修改。");
    }
    const std::vector<EventRecord> after = Memos();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].content, before[i].content);
        EXPECT_EQ(after[i].lastUpdateTime, before[i].lastUpdateTime);
    }
}

TEST_F(MemoPageTest, AMemoNestedTooDeepOpensWithItsTextAndSavesIt) {
    const std::string deep = "{\\rtf1\\ansicpg936" + std::string(400, '{') +
                             "\\'c9\\'ee\\'b4\\'a6" + std::string(400, '}') + "}";
    manager().AddEvent(Utf8ToUtf16(deep), u"深处");
    FlushChanges();
    test::WhenModal<CEditEventDlg>([](CEditEventDlg* dlg) {
        EXPECT_EQ(dlg->editor()->PlainText(), "深处");
        EXPECT_FALSE(dlg->noticeLabel()->isVisible());
        QTest::keyClicks(dlg->editor()->textArea(), "x");
        dlg->okButton()->click();
    });
    DoubleClickRow(2);
    EXPECT_EQ(FromStored(Memos()[2].content1), u"x深处");
}

TEST_F(MemoPageTest, AMemoDeletedWhileOpenIsKeptAsANewOne) {
    test::WhenModal<CEditEventDlg>([this](CEditEventDlg* dlg) {
        manager().RemoveEvent(dlg->eventId.toStdU16String());
        QTest::keyClicks(dlg->editor()->textArea(), "kept ");
        dlg->okButton()->click();
    });
    DoubleClickRow(0);
    ASSERT_EQ(Memos().size(), 2u);
    EXPECT_EQ(FromStored(Memos()[1].content1), u"kept first\r\nline");
}

TEST_F(MemoPageTest, AStorageErrorKeepsTheEditorOpenWithWhatWasWritten) {
    CAddEventDlg dlg(manager(), page.get());
    dlg.show();
    QTest::keyClicks(dlg.editor()->textArea(), "unsaved");
    // Another program holds the file locked.
    CppSQLite3DB other;
    OpenKeyed(other, dbPath);
    other.ExecuteUpdate("BEGIN EXCLUSIVE;");
    QString message;
    test::CloseNextMessageBox(&message);
    dlg.okButton()->click();
    other.ExecuteUpdate("ROLLBACK;");
    ASSERT_TRUE(test::WaitUntil([&] { return !message.isEmpty(); }));
    EXPECT_NE(message.indexOf("locked"), -1) << message.toStdString();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.editor()->PlainText(), "unsaved");
    dlg.okButton()->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(Memos().size(), 3u);
}

TEST_F(MemoPageTest, CancelEscapeAndTheCloseBoxAskBeforeDroppingChangesAndOnlyThen) {
    // Unchanged: each closes at once.
    for (int way = 0; way < 3; ++way) {
        CAddEventDlg dlg(manager(), page.get());
        dlg.show();
        if (way == 0)
            QTest::keyClick(dlg.editor()->textArea(), Qt::Key_Escape);
        else if (way == 1)
            dlg.cancelButton()->click();
        else
            dlg.close();
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
    }
    int asked = 0;
    bool kept = false;
    test::WhenModal<CAddEventDlg>([&](CAddEventDlg* dlg) {
        QTest::keyClicks(dlg->editor()->textArea(), "draft");
        // 否 keeps the editor with the text.
        test::AnswerDiscardQuestion(QMessageBox::No, &asked);
        QTest::keyClick(dlg->editor()->textArea(), Qt::Key_Escape);
        test::AnswerDiscardQuestion(QMessageBox::No, &asked);
        dlg->cancelButton()->click();
        test::AnswerDiscardQuestion(QMessageBox::No, &asked);
        dlg->close();
        kept = asked == 3 && dlg->isVisible() && dlg->editor()->PlainText() == "draft";
        test::AnswerDiscardQuestion(QMessageBox::Yes, &asked);
        dlg->cancelButton()->click();
    });
    page->findChild<QPushButton*>("addEventButton")->click();
    EXPECT_TRUE(kept);
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(Memos().size(), 2u);
}

TEST_F(MemoPageTest, TheEditorFillsTheDialogAndTheButtonsSitBottomRight) {
    CAddEventDlg dlg(manager(), page.get());
    dlg.setWindowState(Qt::WindowNoState);
    dlg.show();
    for (QSize size : {QSize(700, 500), QSize(420, 260)}) {
        dlg.resize(size);
        test::ProcessEvents();
        const int h = dlg.okButton()->height();
        const QRect editor = dlg.editor()->geometry();
        EXPECT_EQ(editor, QRect(4, 4, size.width() - 8, size.height() - h - 16));
        EXPECT_EQ(dlg.okButton()->pos(), QPoint(editor.width() - 187, editor.height() + 10));
        EXPECT_EQ(dlg.cancelButton()->pos(), QPoint(editor.width() - 107, editor.height() + 10));
        EXPECT_EQ(dlg.cancelButton()->geometry().bottom() + 1, size.height() - 6);
    }
    // Enter in a toolbar list applies it and does not close the dialog.
    dlg.editor()->fontSizeCombo()->lineEdit()->selectAll();
    QTest::keyClicks(dlg.editor()->fontSizeCombo()->lineEdit(), "12");
    QTest::keyClick(dlg.editor()->fontSizeCombo()->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(Memos().size(), 2u);
}

}  // namespace
