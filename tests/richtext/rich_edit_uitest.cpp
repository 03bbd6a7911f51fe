#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextList>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <fstream>
#include <sstream>

#include "richtext/colour_picker.h"
#include "richtext/core/rtf_reader.h"
#include "richtext/rich_text_model.h"
#include "richtext/ruler_rich_edit_ctrl.h"
#include "support/ui_helpers.h"

namespace {

using namespace zorvel;

class RichEditTest : public ::testing::Test {
protected:
    RichEditTest() {
        editor.resize(700, 400);
        editor.SetRulerVisible(false);
        editor.show();
        editor.activateWindow();
        QApplication::setActiveWindow(&editor);
        text()->setFocus();
        test::ProcessEvents();
    }

    QTextEdit* text() { return editor.textArea(); }
    QToolButton* Button(const char* name) {
        return editor.toolBar()->findChild<QToolButton*>(QString::fromLatin1(name));
    }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }
    // Types into a toolbar list and presses Enter, as the user would.
    void Enter(QComboBox* combo, const QString& value) {
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), value);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    }
    // Selects paragraph `index` whole (or puts the cursor in it).
    void SelectParagraph(int index, bool whole = true) {
        QTextCursor c(text()->document()->findBlockByNumber(index));
        if (whole)
            c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        text()->setTextCursor(c);
    }
    void PickColour(const char* name) {
        editor.colourPicker()->popup()->findChild<QAbstractButton*>(name)->click();
    }
    rtf::Document Model() { return ToModel(*text()->document()); }

    CRulerRichEditCtrl editor;
};

TEST_F(RichEditTest, ToolbarAndTextAreaHaveTheirSizesAndDefaults) {
    EXPECT_EQ(editor.toolBar()->height(), 28);
    EXPECT_EQ(editor.fontNameCombo()->width(), 128);
    EXPECT_EQ(editor.fontSizeCombo()->width(), 48);
    EXPECT_EQ(editor.colourPicker()->width(), 64);
    EXPECT_EQ(editor.colourPicker()->accessibleName(), "Color");
    QStringList sizes;
    for (int i = 0; i < editor.fontSizeCombo()->count(); ++i)
        sizes << editor.fontSizeCombo()->itemText(i);
    EXPECT_EQ(sizes, QStringList({"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24",
                                  "26", "28", "36", "48", "72"}));
    QStringList fonts;
    for (int i = 0; i < editor.fontNameCombo()->count(); ++i)
        fonts << editor.fontNameCombo()->itemText(i);
    ASSERT_GT(fonts.size(), 3);
    EXPECT_TRUE(fonts.contains("Liberation Serif"));
    for (int i = 1; i < fonts.size(); ++i)
        EXPECT_LE(QString::compare(fonts[i - 1], fonts[i], Qt::CaseInsensitive), 0);
    QMenu* popup = editor.colourPicker()->popup();
    EXPECT_EQ(popup->findChild<QPushButton*>("automaticColour")->text(), "Automatic");
    EXPECT_EQ(popup->findChild<QPushButton*>("moreColours")->text(), "More Colours...");
    EXPECT_EQ(popup->findChildren<QToolButton*>().size(), 40);
    // Every item can be found by its name.
    for (const char* name : {"fontButton", "boldButton", "italicButton", "underlineButton",
                             "alignLeftButton", "alignCenterButton", "alignRightButton",
                             "indentButton", "outdentButton", "bulletButton"}) {
        ASSERT_TRUE(Button(name)) << name;
        EXPECT_FALSE(Button(name)->accessibleName().isEmpty()) << name;
        EXPECT_EQ(Button(name)->focusPolicy(), Qt::NoFocus) << name;
    }

    // The ruler is there but hidden; the text starts under the toolbar.
    ASSERT_TRUE(editor.ruler());
    EXPECT_FALSE(editor.IsRulerVisible());
    EXPECT_EQ(text()->y(), editor.toolBar()->height());

    // Times New Roman 10 pt (shown in a face of the same measure), tab stops every 640 twips,
    // insets 8 px left and right and 4 px at the top, lines wrapped at the edge.
    EXPECT_EQ(editor.fontNameCombo()->currentText(), "Times New Roman");
    EXPECT_EQ(editor.fontSizeCombo()->currentText(), "10");
    EXPECT_EQ(QFontInfo(text()->document()->defaultFont()).family(), "Liberation Serif");
    EXPECT_NEAR(text()->document()->defaultTextOption().tabStopDistance(), 640 / 15.0, 1e-9);
    const QTextFrameFormat root = text()->document()->rootFrame()->frameFormat();
    EXPECT_EQ(root.leftMargin(), 8);
    EXPECT_EQ(root.rightMargin(), 8);
    EXPECT_EQ(root.topMargin(), 4);
    EXPECT_EQ(text()->lineWrapMode(), QTextEdit::WidgetWidth);
    EXPECT_FALSE(editor.IsModified());
}

// The memo of the day: a heading in bold red 16 pt, a centred line and a bulleted list,
// written with the toolbar, reopens exactly so.
TEST_F(RichEditTest, AMemoWrittenWithTheToolbarReopensExactlySo) {
    QTest::keyClicks(text(), "Heading");
    QTest::keyClick(text(), Qt::Key_Return);
    QTest::keyClicks(text(), "centred");
    QTest::keyClick(text(), Qt::Key_Return);
    QTest::keyClicks(text(), "one");
    QTest::keyClick(text(), Qt::Key_Return);
    QTest::keyClicks(text(), "two");

    SelectParagraph(0);
    Enter(editor.fontSizeCombo(), "16");
    EXPECT_TRUE(text()->hasFocus());  // back to the text
    Click("boldButton");
    EXPECT_TRUE(text()->hasFocus());
    PickColour("colour_FF0000");
    SelectParagraph(1, false);
    Click("alignCenterButton");
    QTextCursor list(text()->document()->findBlockByNumber(2));
    list.setPosition(text()->document()->findBlockByNumber(3).position() + 1,
                     QTextCursor::KeepAnchor);
    text()->setTextCursor(list);
    Click("bulletButton");
    EXPECT_TRUE(editor.IsModified());

    CRulerRichEditCtrl reopened;
    reopened.SetRichText(editor.GetRichText());
    const rtf::Document memo = ToModel(*reopened.textArea()->document());
    EXPECT_EQ(memo, Model());
    ASSERT_EQ(memo.paragraphs.size(), 4u);
    const rtf::CharFormat& heading = memo.paragraphs[0].runs.at(0).format;
    EXPECT_TRUE(heading.bold);
    EXPECT_EQ(heading.halfPoints, 32);
    EXPECT_EQ(heading.color, 0xFF0000u);
    EXPECT_EQ(memo.paragraphs[1].format.align, rtf::Align::kCenter);
    EXPECT_FALSE(memo.paragraphs[1].runs[0].format.bold);
    EXPECT_FALSE(memo.paragraphs[1].format.bullet);
    EXPECT_TRUE(memo.paragraphs[2].format.bullet);
    EXPECT_TRUE(memo.paragraphs[3].format.bullet);
    // One list, as the user made it.
    EXPECT_EQ(reopened.textArea()->document()->findBlockByNumber(2).textList(),
              reopened.textArea()->document()->findBlockByNumber(3).textList());
    EXPECT_FALSE(reopened.IsModified());
    EXPECT_EQ(reopened.PlainText(), "Heading\r\ncentred\r\none\r\ntwo");

    // The toolbar shows each place's format as the cursor moves.
    QTextCursor inHeading(reopened.textArea()->document()->findBlockByNumber(0));
    inHeading.setPosition(3);
    reopened.textArea()->setTextCursor(inHeading);
    EXPECT_EQ(reopened.fontSizeCombo()->currentText(), "16");
    EXPECT_TRUE(reopened.toolBar()->findChild<QToolButton*>("boldButton")->isChecked());
    EXPECT_EQ(reopened.colourPicker()->colour(), QColor(Qt::red));
    QTextCursor inList(reopened.textArea()->document()->findBlockByNumber(3));
    reopened.textArea()->setTextCursor(inList);
    EXPECT_EQ(reopened.fontSizeCombo()->currentText(), "10");
    EXPECT_FALSE(reopened.toolBar()->findChild<QToolButton*>("boldButton")->isChecked());
    EXPECT_TRUE(reopened.toolBar()->findChild<QToolButton*>("bulletButton")->isChecked());
    EXPECT_FALSE(reopened.colourPicker()->colour().has_value());
}

TEST_F(RichEditTest, FormatsApplyToTheWholeSelectionAndAutomaticRemovesTheColour) {
    QTest::keyClicks(text(), "plain bold");
    QTextCursor c = text()->textCursor();
    c.setPosition(6);
    c.setPosition(10, QTextCursor::KeepAnchor);
    text()->setTextCursor(c);
    Click("boldButton");
    PickColour("colour_0000FF");
    // A selection half bold: Bold makes all of it bold, then none of it.
    SelectParagraph(0);
    EXPECT_FALSE(Button("boldButton")->isChecked());
    EXPECT_FALSE(editor.colourPicker()->colour().has_value());  // two colours
    Click("boldButton");
    EXPECT_TRUE(Model().paragraphs[0].runs[0].format.bold);
    EXPECT_TRUE(Button("boldButton")->isChecked());
    Click("boldButton");
    EXPECT_FALSE(Model().paragraphs[0].runs[0].format.bold);
    Click("italicButton");
    Click("underlineButton");
    PickColour("automaticColour");
    Enter(editor.fontNameCombo(), "Liberation Sans");
    const rtf::Document d = Model();
    ASSERT_EQ(d.paragraphs[0].runs.size(), 1u);
    const rtf::CharFormat f = d.paragraphs[0].runs[0].format;
    EXPECT_EQ(f, (rtf::CharFormat{u"Liberation Sans", 20, false, true, true, std::nullopt}));
    // A size that is no size changes nothing and shows the real one again.
    Enter(editor.fontSizeCombo(), "big");
    EXPECT_EQ(editor.fontSizeCombo()->currentText(), "10");
    Enter(editor.fontSizeCombo(), "10.5");
    EXPECT_EQ(Model().paragraphs[0].runs[0].format.halfPoints, 21);
}

TEST_F(RichEditTest, IndentAndOutdentMoveToTheNextOrPreviousTabStop) {
    QTest::keyClicks(text(), "text");
    auto left = [this] { return Model().paragraphs[0].format.leftIndent; };
    Click("outdentButton");
    EXPECT_EQ(left(), 0);
    Click("indentButton");
    EXPECT_EQ(left(), 640);
    Click("indentButton");
    EXPECT_EQ(left(), 1280);
    Click("outdentButton");
    EXPECT_EQ(left(), 640);
    // From between two stops to the nearer one on that side.
    editor.SetRichText("{\\rtf1\\li700 text\\par}");
    Click("indentButton");
    EXPECT_EQ(left(), 1280);
    editor.SetRichText("{\\rtf1\\li700 text\\par}");
    Click("outdentButton");
    EXPECT_EQ(left(), 640);
    // No stop after the last of the 32.
    editor.SetRichText("{\\rtf1\\li20480 text\\par}");
    Click("indentButton");
    EXPECT_EQ(left(), 20480);
    // A bulleted paragraph keeps its bullet, and its indent when the bullet goes.
    editor.SetRichText("{\\rtf1 text\\par}");
    Click("bulletButton");
    Click("indentButton");
    EXPECT_TRUE(Model().paragraphs[0].format.bullet);
    EXPECT_EQ(left(), 640);
    Click("bulletButton");
    EXPECT_FALSE(Model().paragraphs[0].format.bullet);
    EXPECT_EQ(left(), 640);
}

TEST_F(RichEditTest, AnActiveAlignmentIsNotAppliedAgain) {
    editor.SetRichText("{\\rtf1\\qc centred\\par}");
    EXPECT_TRUE(Button("alignCenterButton")->isChecked());
    Click("alignCenterButton");
    EXPECT_FALSE(editor.IsModified());
    EXPECT_TRUE(Button("alignCenterButton")->isChecked());
    Click("alignRightButton");
    EXPECT_TRUE(editor.IsModified());
    EXPECT_EQ(Model().paragraphs[0].format.align, rtf::Align::kRight);
    EXPECT_FALSE(Button("alignCenterButton")->isChecked());
}

// What is pasted or dropped is reduced to what a memo keeps, so that what the editor shows is
// what is saved.
TEST_F(RichEditTest, PastingKeepsOnlyWhatTheMemoCanStore) {
    QTest::keyClicks(text(), "start ");
    auto* mime = new QMimeData;
    mime->setHtml(
        "<p><b style='color:#ff0000;font-size:16pt'>Red</b> <s>struck</s> "
        "<span style='background:yellow'>marked</span> <a href='http://x.invalid'>link</a>"
        "<img src='data:image/png;base64,iVBORw0KGgo='></p>"
        "<table><tr><td>cell one</td><td>cell two</td></tr></table>"
        "<ul><li>item</li></ul>");
    mime->setText("ignored");
    QApplication::clipboard()->setMimeData(mime);
    text()->paste();

    QTextDocument* document = text()->document();
    EXPECT_TRUE(document->rootFrame()->childFrames().isEmpty());  // no table
    const QFont defaultFont = document->defaultFont();
    bool sawRed = false;
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            EXPECT_FALSE(f.isImageFormat());
            EXPECT_FALSE(f.fontStrikeOut());
            EXPECT_FALSE(f.hasProperty(QTextFormat::BackgroundBrush));
            EXPECT_FALSE(f.isAnchor());
            // Nothing but the model's own formats in what was pasted.
            if (it.fragment().text() != "start ") {
                EXPECT_EQ(f, ToQtFormat(ToModelFormat(f, defaultFont)))
                    << it.fragment().text().toStdString();
            }
            sawRed = sawRed || it.fragment().text() == "Red";
        }
    }
    EXPECT_TRUE(sawRed);
    const rtf::Document shown = Model();
    EXPECT_EQ(rtf::ReadRtf(editor.GetRichText().toStdString()), shown);
    EXPECT_EQ(editor.PlainText().toStdString(),
              "start Red struck marked link\r\ncell one\r\ncell two\r\nitem");
    const rtf::CharFormat red = shown.paragraphs[0].runs.at(1).format;
    EXPECT_TRUE(red.bold);
    EXPECT_EQ(red.halfPoints, 32);
    EXPECT_EQ(red.color, 0xFF0000u);
    EXPECT_TRUE(shown.paragraphs.back().format.bullet);

    // Plain text takes the format where it goes; RTF from another program is read as such.
    editor.SetRichText("{\\rtf1\\b bold\\par}");
    QTextCursor end = text()->textCursor();
    end.movePosition(QTextCursor::End);
    text()->setTextCursor(end);
    mime = new QMimeData;
    mime->setText(" more\r\nline");
    QApplication::clipboard()->setMimeData(mime);
    text()->paste();
    EXPECT_EQ(editor.PlainText(), "bold more\r\nline");
    EXPECT_TRUE(Model().paragraphs[1].runs[0].format.bold);
    mime = new QMimeData;
    mime->setData("text/rtf", "{\\rtf1\\ansicpg936\\i \\'d6\\'d0\\'ce\\'c4}");
    QApplication::clipboard()->setMimeData(mime);
    text()->paste();
    EXPECT_EQ(editor.PlainText(), "bold more\r\nline中文");
    EXPECT_TRUE(Model().paragraphs[1].runs.back().format.italic);
}

TEST_F(RichEditTest, TheFontDialogStartsFromTheSelectionAndKeepsItsFaceName) {
    editor.SetRichText("{\\rtf1{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs32\\b heading\\par}");
    SelectParagraph(0);
    test::ModalWatchdog watchdog;
    test::WhenModal<QFontDialog>([](QFontDialog* dlg) {
        EXPECT_EQ(dlg->windowModality(), Qt::WindowModal);
        // The face that shows Times New Roman, in its bold style, at 16 pt.
        EXPECT_EQ(dlg->currentFont().family(), "Liberation Serif");
        EXPECT_TRUE(dlg->currentFont().bold());
        EXPECT_FALSE(dlg->currentFont().italic());
        EXPECT_EQ(dlg->currentFont().pointSize(), 16);
        // Struck-out text is not kept, so it is not offered.
        for (QCheckBox* box : dlg->findChildren<QCheckBox*>())
            EXPECT_TRUE(box->isHidden() || box->text().contains("U")) << box->text().toStdString();
        QFont italic = dlg->currentFont();
        italic.setItalic(true);
        italic.setStyleName(QString());
        dlg->setCurrentFont(italic);
        dlg->accept();
    });
    Click("fontButton");
    const rtf::CharFormat f = Model().paragraphs[0].runs[0].format;
    EXPECT_EQ(f, (rtf::CharFormat{u"Times New Roman", 32, true, true, false, std::nullopt}));
}

TEST_F(RichEditTest, OpensMemosOfTheWindowsProgramWithTheirChineseText) {
    std::ifstream in(std::string(ZORVEL_SOURCE_DIR) + "/tests/richtext/data/richedit_cp936.rtf",
                     std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    editor.SetRichText(QString::fromStdString(s.str()));
    EXPECT_EQ(editor.PlainText(), "会议记录 Title\r\n第一项\r\n第二项\r\nplain blue italic under");
    EXPECT_TRUE(text()->document()->findBlockByNumber(1).textList());
    EXPECT_EQ(text()->document()->findBlockByNumber(0).blockFormat().alignment() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    // Text that is not RTF at all shows as it is.
    editor.SetRichText("just text\nsecond");
    EXPECT_EQ(editor.PlainText(), "just text\r\nsecond");
}

// Pasting what would make the memo longer than the editor edits is refused, with the limit.
TEST_F(RichEditTest, PastingBeyondTheEditorsLimitsIsRefusedWithTheLimit) {
    test::ModalWatchdog watchdog;
    // Pastes and returns the message that refused it.
    auto refusal = [this](const QString& plain) {
        auto* mime = new QMimeData;
        mime->setText(plain);
        QApplication::clipboard()->setMimeData(mime);
        QString message;
        test::CloseNextMessageBox(&message);
        text()->paste();
        EXPECT_TRUE(test::WaitUntil([&] { return !message.isEmpty(); }));
        return message;
    };
    QTest::keyClicks(text(), "keep");
    // Five megabytes on one line (as in a memo pasted from a log), and lines that add up.
    EXPECT_EQ(refusal(QString(5'000'000, u'x')), "记事最多 1,048,576 个字符，粘贴的内容没有加入。");
    QString lines;
    for (int i = 0; i < 50'000; ++i)
        lines += QString(25, u'字') + u'\n';
    EXPECT_EQ(refusal(lines), "记事最多 1,048,576 个字符，粘贴的内容没有加入。");
    // One paragraph longer than the editor lays out at each key, with what it joins.
    EXPECT_EQ(refusal(QString(32'765, u'y')), "记事的一段最多 32,768 个字符，粘贴的内容没有加入。");
    EXPECT_EQ(editor.PlainText(), "keep");
    // Up to the limit it goes in.
    auto* mime = new QMimeData;
    mime->setText(QString(32'764, u'y') + "\nz");
    QApplication::clipboard()->setMimeData(mime);
    text()->paste();
    EXPECT_EQ(editor.PlainText(), "keep" + QString(32'764, u'y') + "\r\nz");
}

// A long memo is laid out a slice at a time with the window running in between, read-only
// until it is all in; then it is what was stored and can be edited like any other.
TEST_F(RichEditTest, ALongMemoOpensInSlicesAndThenEditsAsUsual) {
    std::string rtf = "{\\rtf1\\ansi\\ansicpg936 ";
    QString expected;
    for (int i = 0; i < 400; ++i) {
        const std::string line = "Line " + std::to_string(i) + " " + std::string(500, 'w');
        rtf += (i % 2 ? "\\b " : "\\b0 ") + line + "\\par\r\n";
        expected += QString::fromStdString(line) + (i < 399 ? "\r\n" : "");
    }
    rtf += "}";
    int loaded = 0;
    QObject::connect(&editor, &CRulerRichEditCtrl::Loaded, [&] { ++loaded; });
    test::HangGuard guard("opening a memo of 200,000 characters", 60);
    editor.SetRichText(QString::fromStdString(rtf));
    EXPECT_TRUE(editor.IsLoading());
    EXPECT_TRUE(text()->isReadOnly());
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(1);
    ASSERT_TRUE(test::WaitUntil([&] { return !editor.IsLoading(); }, 60000));
    EXPECT_GT(ticks, 2);  // the window ran while it was laid out
    EXPECT_EQ(loaded, 1);
    EXPECT_FALSE(text()->isReadOnly());
    EXPECT_FALSE(editor.Fit().readOnly);
    EXPECT_FALSE(editor.IsModified());
    EXPECT_FALSE(text()->document()->isUndoAvailable());
    EXPECT_EQ(editor.PlainText(), expected);
    EXPECT_EQ(Model(), rtf::ReadRtf(rtf));
    EXPECT_EQ(text()->textCursor().position(), 0);
    QTest::keyClicks(text(), "new ");
    EXPECT_TRUE(editor.IsModified());
    EXPECT_TRUE(editor.PlainText().startsWith("new Line 0 "));

    // Another memo given while one is still being laid out replaces it.
    editor.SetRichText(QString::fromStdString(rtf));
    editor.SetRichText("{\\rtf1 short\\par}");
    EXPECT_FALSE(editor.IsLoading());
    // (Long enough for the first reading to end and be passed over.)
    test::RunEventsFor(500 * test::TimeScale());
    EXPECT_EQ(editor.PlainText(), "short");
}

}  // namespace
