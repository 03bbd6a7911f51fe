#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "richtext/core/rtf_reader.h"
#include "richtext/core/rtf_writer.h"
#include "storage/text_codec.h"
#include "support/rtf_checks.h"
#include "widgets/core/memo_limits.h"

namespace {

using namespace zorvel;
using namespace zorvel::rtf;

CharFormat Format(std::u16string font, int halfPoints, bool bold = false, bool italic = false,
                  bool underline = false, std::optional<std::uint32_t> color = std::nullopt) {
    return CharFormat{std::move(font), halfPoints, bold, italic, underline, color};
}

Paragraph Para(std::vector<Run> runs, ParaFormat format = {}) {
    Paragraph p;
    p.format = format;
    if (!runs.empty())
        p.markFormat = runs.back().format;
    p.runs = std::move(runs);
    return p;
}

std::u16string PlainText(const Document& d) {
    std::u16string out;
    for (const Paragraph& p : d.paragraphs) {
        for (const Run& r : p.runs)
            out += r.text;
        out += u'\n';
    }
    return out;
}

std::string ReadFixture(const char* name) {
    std::ifstream in(std::string(ZORVEL_SOURCE_DIR) + "/tests/richtext/data/" + name,
                     std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every format the toolbar can set, in one memo: it must come back exactly.
TEST(Rtf, EveryToolbarFormatRoundTrips) {
    const CharFormat plain;
    const CharFormat heading = Format(u"Times New Roman", 32, true, false, false, 0xFF0000);
    Document d;
    d.paragraphs.push_back(Para({{u"会议记录 Heading", heading}}));
    d.paragraphs.push_back(Para({{u"居中的一行", plain}}, {.align = Align::kCenter}));
    d.paragraphs.push_back(
        Para({{u"第一项 ", plain}, {u"粗斜", Format(u"宋体", 24, true, true)}}, {.bullet = true}));
    d.paragraphs.push_back(Para({{u"第二项", Format(u"Noto Sans CJK SC", 144, false, false, true)}},
                                {.leftIndent = 640, .bullet = true}));
    d.paragraphs.push_back(
        Para({{u"right", Format(u"Liberation Sans", 16, false, true, false, 0x0000FF)}},
             {.align = Align::kRight, .rightIndent = 1280}));
    d.paragraphs.push_back(
        Para({{u"justified", plain}},
             {.align = Align::kJustify, .leftIndent = 1280, .firstIndent = -640}));
    // Empty lines keep their own format for what is typed into them.
    Paragraph empty;
    empty.markFormat = Format(u"微软雅黑", 28, false, true, false, 0x00FF00);
    d.paragraphs.push_back(empty);
    d.paragraphs.push_back(Para({{u"tab\there\u2028line two {braces} back\\slash 😀 \u00A0x",
                                  Format(u"Times New Roman", 20, false, false, false, 0x000001)}}));
    d.paragraphs.push_back(Para({{u"7 starts with a digit", plain}}, {.leftIndent = 640}));
    d.paragraphs.push_back(Para({}));

    const std::string rtf = WriteRtf(d);
    EXPECT_EQ(ReadRtf(rtf), d) << rtf;

    // Plain ASCII with \uN? for the rest, and the Chinese code page for older readers.
    for (unsigned char c : rtf)
        ASSERT_LT(c, 0x80) << rtf;
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg936", 0), 0u) << rtf;
    EXPECT_NE(rtf.find("\\u20250?\\u-29778?"), std::string::npos) << rtf;  // 会议
    EXPECT_NE(rtf.find("\\u-10179?\\u-8704?"), std::string::npos) << rtf;  // 😀 as two units
    // Bullets the way RichEdit writes them.
    EXPECT_NE(rtf.find("{\\*\\pn\\pnlvlblt"), std::string::npos) << rtf;
}

TEST(Rtf, EmptyMemoRoundTripsAsOneEmptyParagraph) {
    Document d;
    d.paragraphs.emplace_back();
    EXPECT_EQ(ReadRtf(WriteRtf(d)), d);
    EXPECT_EQ(ReadRtf(""), d);
    EXPECT_EQ(ReadRtf("{\\rtf1}"), d);
}

TEST(Rtf, LastParagraphMarkEndsTheTextWithoutAddingALine) {
    EXPECT_EQ(ReadRtf("{\\rtf1 abc\\par}").paragraphs.size(), 1u);
    EXPECT_EQ(ReadRtf("{\\rtf1 abc\\par\\par}").paragraphs.size(), 2u);
    EXPECT_EQ(ReadRtf("{\\rtf1 abc\\par def}").paragraphs.size(), 2u);
    // Paragraph properties count where the paragraph ends, even after the group that set
    // them has closed.
    EXPECT_EQ(ReadRtf("{\\rtf1 \\qc abc}").paragraphs[0].format.align, Align::kCenter);
}

// A memo saved by the Windows program: RichEdit RTF in code page 936.
TEST(Rtf, ReadsRichEditMemosInTheChineseCodePage) {
    const Document d = ReadRtf(ReadFixture("richedit_cp936.rtf"));
    ASSERT_EQ(d.paragraphs.size(), 4u);
    EXPECT_EQ(PlainText(d), u"会议记录 Title\n第一项\n第二项\nplain blue italic under\n");

    const Paragraph& title = d.paragraphs[0];
    EXPECT_EQ(title.format.align, Align::kCenter);
    ASSERT_EQ(title.runs.size(), 2u);
    EXPECT_EQ(title.runs[0].format, Format(u"宋体", 32, true));
    EXPECT_EQ(title.runs[1].format, Format(u"Times New Roman", 32, true, false, false, 0xFF0000));

    // The bullet stays on the next paragraph, which does not repeat it.
    for (int i : {1, 2}) {
        EXPECT_TRUE(d.paragraphs[i].format.bullet) << i;
        EXPECT_EQ(d.paragraphs[i].format.leftIndent, 0) << i;
        EXPECT_EQ(d.paragraphs[i].format.firstIndent, 0) << i;
        EXPECT_EQ(d.paragraphs[i].runs[0].format.font, u"宋体") << i;
    }
    const Paragraph& last = d.paragraphs[3];
    EXPECT_FALSE(last.format.bullet);
    ASSERT_EQ(last.runs.size(), 4u);
    EXPECT_EQ(last.runs[1].format, Format(u"Times New Roman", 20, false, true, false, 0x0000FF));
    EXPECT_TRUE(last.runs[3].format.underline);
}

TEST(Rtf, DecodesBytesInTheFontsOrTheDocumentsCodePage) {
    // The document's code page where the font does not name one.
    EXPECT_EQ(PlainText(ReadRtf("{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0\\'ce\\'c4}")), u"中文\n");
    EXPECT_EQ(PlainText(ReadRtf("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset1 X;}}"
                                "\\f0 \\'d6\\'d0}")),
              u"中\n");
    // Fonts with their own: Cyrillic and Big5 in a GBK document, a code page given as \cpg.
    EXPECT_EQ(PlainText(ReadRtf("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset204 A;}"
                                "{\\f1\\fcharset136 B;}{\\f2\\cpg1253 C;}}"
                                "\\f0\\'cf\\'f0\\'e8\\f1\\'a4\\'a4\\f2\\'e1}")),
              u"При中α\n");
    // A font name in the font's code page.
    EXPECT_EQ(ReadRtf("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset134 \\'bf\\'ac\\'cc\\'e5_GB2312;}}"
                      "\\f0 x}")
                  .paragraphs[0]
                  .runs[0]
                  .format.font,
              u"楷体_GB2312");
    // A lead byte without its trail byte, and bytes the code page does not have.
    EXPECT_EQ(PlainText(ReadRtf("{\\rtf1\\ansicpg936 a\\'d6}")), u"a\uFFFD\n");
    EXPECT_EQ(PlainText(ReadRtf("{\\rtf1\\ansicpg1252 \\'e9t\\'e9}")), u"été\n");
    // Raw UTF-8 (the editor hands its text over as UTF-8) and raw bytes that are not.
    EXPECT_EQ(PlainText(ReadRtf("{\\rtf1\\ansicpg936 中文}")), u"中文\n");
    EXPECT_EQ(PlainText(ReadRtf("{\\rtf1\\ansicpg936 \xd6\xd0}")), u"中\n");
}

TEST(Rtf, UnicodeCharactersSkipTheirFallback) {
    EXPECT_EQ(PlainText(ReadRtf("{\\rtf1\\ansicpg936\\uc2\\u20013\\'d6\\'d0\\u25991\\'ce\\'c4!}")),
              u"中文!\n");
    EXPECT_EQ(PlainText(ReadRtf("{\\rtf1\\uc0\\u20013\\u25991 x}")), u"中文x\n");
    // A negative number is the character above 32767; the fallback ends at a group's end.
    EXPECT_EQ(PlainText(ReadRtf("{\\rtf1{\\uc3\\u-3}x\\u-3?y}")), u"\uFFFDx\uFFFDy\n");
    // A lone surrogate is no character.
    EXPECT_EQ(PlainText(ReadRtf("{\\rtf1\\u-10179?x\\u-8704?}")), u"\uFFFDx\uFFFD\n");
}

TEST(Rtf, OtherProgramsExtrasArePassedOverAndTheirTextKept) {
    const std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial{\\*\\panose 020b0604020202020204}"
        "{\\*\\falt Helvetica};}}{\\stylesheet{\\s0 Normal;}}{\\info{\\title Secret title}}"
        "{\\*\\generator Some Writer;}{\\*\\unknown hidden}"
        "\\pard\\f0 Before {\\pict\\pngblip 89504e470d0a1a0a}{\\*\\shppict{\\pict 00}}"
        "{\\field{\\*\\fldinst HYPERLINK \"http://x.invalid\"}{\\fldrslt link}} "
        "\\strike struck\\strike0 , {\\highlight3 marked}\\bin5 {}\\}x after\\par"
        "\\trowd\\cellx100\\cellx200 \\intbl a\\cell b\\cell\\row"
        "\\emdash\\lquote q\\rquote\\~\\-\\_\\bullet\\par}";
    const Document d = ReadRtf(rtf);
    EXPECT_EQ(PlainText(d), u"Before link struck, marked after\na\tb\t\n—‘q’\u00A0\u2011•\n");
    EXPECT_EQ(d.paragraphs[0].runs[0].format.font, u"Arial");
}

TEST(Rtf, ReadsWhatLibreOfficeWrites) {
    // Saved by LibreOffice Writer 7.4 from a page with a heading, a centred line, a list, a
    // link, a table and a right-aligned line.
    const Document d = ReadRtf(ReadFixture("libreoffice_memo.rtf"));
    EXPECT_EQ(PlainText(d),
              u"会议记录 Heading\n居中的一行 centred\n第一项 first\n第二项 second\n"
              u"下划线 and a link.\n甲\t乙\t\n右对齐 right\n");
    ASSERT_EQ(d.paragraphs.size(), 7u);
    const rtf::Run& heading = d.paragraphs[0].runs.back();
    EXPECT_TRUE(heading.format.bold);
    EXPECT_EQ(heading.format.halfPoints, 32);
    EXPECT_EQ(heading.format.color, 0xFF0000u);
    EXPECT_EQ(d.paragraphs[1].format.align, Align::kCenter);
    EXPECT_TRUE(d.paragraphs[2].format.bullet);
    EXPECT_TRUE(d.paragraphs[3].format.bullet);
    EXPECT_FALSE(d.paragraphs[4].format.bullet);
    EXPECT_TRUE(d.paragraphs[3].runs.back().format.italic);
    EXPECT_TRUE(d.paragraphs[4].runs[0].format.underline);
    EXPECT_EQ(d.paragraphs[6].format.align, Align::kRight);
}

TEST(Rtf, MalformedInputShowsWhatItCan) {
    // Not RTF at all: plain UTF-8 text, one paragraph a line.
    EXPECT_EQ(PlainText(ReadRtf("第一行\r\n second\rthird\n")), u"第一行\n second\nthird\n\n");
    EXPECT_EQ(PlainText(ReadRtf("\xff\xfe plain")), u"\uFFFD\uFFFD plain\n");
    // Unbalanced groups, cut-off escapes and words, absurd numbers.
    EXPECT_EQ(PlainText(ReadRtf("{\\rtf1 a}}}b{{c")), u"abc\n");
    EXPECT_EQ(PlainText(ReadRtf("{\\rtf1 a\\'")), u"a\n");
    EXPECT_EQ(PlainText(ReadRtf("{\\rtf1 a\\'4")), u"a4\n");
    EXPECT_EQ(PlainText(ReadRtf("{\\rtf1 a\\'zzb\\")), u"azzb\n");
    const Document big = ReadRtf(
        "{\\rtf1\\fs99999999999999999999\\li-99999999999999\\cf4294967297\\uc99999\\u99999 "
        "x\\bin99999999999}");
    EXPECT_EQ(PlainText(big), u"\n");
    EXPECT_EQ(ReadRtf("{\\rtf1\\fs99999999999 x}").paragraphs[0].runs[0].format.halfPoints, 3276);
    EXPECT_EQ(ReadRtf("{\\rtf1\\li-5000 x}").paragraphs[0].format.leftIndent, 0);
    // Groups nested far deeper than any document: no stack runs out, and their text is kept
    // (a memo of nothing else would open empty, and be saved so).
    std::string deep = "{\\rtf1 start";
    deep += std::string(200000, '{') + "deep" + std::string(200000, '}') + "end}";
    EXPECT_EQ(PlainText(ReadRtf(deep)), u"startdeepend\n");
}

TEST(Rtf, TooDeepGroupsKeepTheirTextButNotTheirFormatsOrHiddenParts) {
    const std::string open(300, '{');
    const std::string close(300, '}');
    const Document d = ReadRtf("{\\rtf1\\ansicpg936\\i a" + open +
                               "\\b\\fs60 \\u28145?\\'c9\\'ee\\par "
                               "x{\\*\\unknown hidden}{\\pict 0a0b}{\\fonttbl gone}\\tab y{"
                               "inner}" +
                               close + " b}");
    EXPECT_EQ(PlainText(d), u"a深深\nx\tyinner b\n");
    EXPECT_TRUE(Broken(d).empty()) << Broken(d);
    // The deep text takes the format of the deepest group kept; its own does not outlast it.
    for (const Paragraph& p : d.paragraphs)
        for (const rtf::Run& r : p.runs) {
            EXPECT_TRUE(r.format.italic);
            EXPECT_FALSE(r.format.bold);
            EXPECT_EQ(r.format.halfPoints, 24);
        }
}

TEST(Rtf, LongRunsOfBlankParagraphsAreKeptAsOne) {
    // Blank lines by the hundred thousand: one paragraph standing for all of them, and written
    // back whole.
    std::string many = "{\\rtf1\\ansi ";
    for (int i = 0; i < 200000; ++i)
        many += "\\par";
    many += "}";
    const Document d = ReadRtf(many);
    ASSERT_EQ(d.paragraphs.size(), 1u);
    EXPECT_EQ(d.paragraphs[0].followingBlanks, 199999);
    EXPECT_EQ(TextLength(d), 199999u);
    EXPECT_EQ(ReadRtf(WriteRtf(d)), d);

    // Text around a run, runs of another format, and short runs, which stay paragraphs.
    std::string mixed = "{\\rtf1 top\\par";
    for (int i = 0; i < 1500; ++i)
        mixed += "\\par";
    mixed += "\\qc";
    for (int i = 0; i < 1200; ++i)
        mixed += "\\par";
    mixed += "\\pard";
    for (int i = 0; i < kMinBlankRun - 1; ++i)
        mixed += "\\par";
    mixed += " end\\par}";
    const Document m = ReadRtf(mixed);
    ASSERT_EQ(m.paragraphs.size(), 4u + kMinBlankRun - 1);
    EXPECT_EQ(m.paragraphs[1].followingBlanks, 1499);
    EXPECT_EQ(m.paragraphs[2].followingBlanks, 1199);
    EXPECT_EQ(m.paragraphs[2].format.align, Align::kCenter);
    EXPECT_EQ(m.paragraphs[3].followingBlanks, 0);
    EXPECT_EQ(m.paragraphs.back().runs.at(0).text, u"end");
    EXPECT_EQ(TextLength(m), 3u + 1 + 1500 + 1200 + kMinBlankRun - 1 + 3);
    EXPECT_TRUE(Broken(m).empty()) << Broken(m);
    EXPECT_EQ(ReadRtf(WriteRtf(m)), m);
}

TEST(Rtf, TheEditorTakesMemosUpToItsLimitsAndShowsLargerOnesInPart) {
    // Within the limits: untouched and editable, a paragraph of exactly the longest kind too.
    Document small = PlainTextDocument(std::u16string(kMaxParagraphChars, u'x') + u"\n\nend");
    const Document before = small;
    EditorFit fit = FitForEditor(small);
    EXPECT_FALSE(fit.readOnly);
    EXPECT_EQ(small, before);
    EXPECT_EQ(fit.length, kMaxParagraphChars + 5);

    // Over the memo's limit: its first kMaxMemoChars characters, never half a surrogate pair.
    std::u16string line(999, u'字');
    line += u"\U0001F600";  // two units
    std::u16string text;
    while (text.size() <= kMaxMemoChars + 5000)
        text += line + u"\n";
    Document big = PlainTextDocument(text);
    fit = FitForEditor(big);
    EXPECT_TRUE(fit.readOnly);
    EXPECT_TRUE(fit.cut);
    EXPECT_EQ(fit.length, text.size());
    EXPECT_LE(TextLength(big), kMaxMemoChars);
    EXPECT_GE(TextLength(big), kMaxMemoChars - 1);
    EXPECT_TRUE(Broken(big).empty()) << Broken(big);
    EXPECT_EQ(big.paragraphs[5].runs[0].text, line);

    // A blank run that reaches past the limit is cut within it.
    Document blank = PlainTextDocument(u"a\n\ntail");
    blank.paragraphs[1].followingBlanks = kMaxMemoChars + 10;
    fit = FitForEditor(blank);
    EXPECT_TRUE(fit.cut && fit.blankRun);
    EXPECT_EQ(TextLength(blank), kMaxMemoChars);

    // A paragraph longer than the editor edits: shown whole, in pieces, for reading only.
    std::u16string longText;
    for (int i = 0; i < 5 * static_cast<int>(kShownPieceChars) + 7; ++i)
        longText += static_cast<char16_t>(u'a' + i % 26);
    Document longOne = PlainTextDocument(u"first\n" + longText);
    fit = FitForEditor(longOne);
    EXPECT_TRUE(fit.readOnly && fit.longParagraph && !fit.cut);
    ASSERT_EQ(longOne.paragraphs.size(), 7u);
    std::u16string joined;
    for (size_t i = 1; i < longOne.paragraphs.size(); ++i) {
        EXPECT_LE(TextLength(longOne.paragraphs[i]), kShownPieceChars);
        joined += longOne.paragraphs[i].runs.at(0).text;
    }
    EXPECT_EQ(joined, longText);
}

TEST(Rtf, AFontNameOfAnyLengthCostsLittlePerParagraph) {
    // Every paragraph and run holds its font's name, so a stored memo with a huge face name
    // and many paragraphs must not make a copy of all of it for each.
    const std::string name(20000, 'A');
    // The second name has a character outside the BMP right where names are cut.
    const std::string before(kMaxFontName - 1, 'B');
    std::string in = "{\\rtf1{\\fonttbl{\\f0 " + name + ";}{\\f1 " + before +
                     "\\u-10179?\\u-8704?" + name + ";}}";
    for (int i = 0; i < 2000; ++i)
        in += i % 2 ? "\\f0 x\\par " : "\\f1 y\\par ";
    in += "}";
    const Document d = ReadRtf(in);
    ASSERT_EQ(d.paragraphs.size(), 2000u);
    size_t held = 0;
    for (const Paragraph& p : d.paragraphs) {
        held += p.markFormat.font.size();
        for (const auto& r : p.runs)
            held += r.format.font.size();
    }
    EXPECT_LE(held, 2 * d.paragraphs.size() * kMaxFontName);  // a run and a mark each
    // Names are cut, not dropped, and never inside a surrogate pair.
    EXPECT_EQ(d.paragraphs[0].markFormat.font, std::u16string(kMaxFontName - 1, u'B'));
    EXPECT_EQ(d.paragraphs[1].markFormat.font, std::u16string(kMaxFontName, u'A'));
    EXPECT_EQ(ReadRtf(WriteRtf(d)), d);
}

}  // namespace
