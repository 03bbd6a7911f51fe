#include "richtext/rich_text_model.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextOption>
#include <QTextTable>
#include <algorithm>
#include <cmath>

namespace zorvel {

namespace {

int Twips(double pixels) {
    return static_cast<int>(std::lround(pixels * kTwipsPerPixel));
}

QTextListFormat BulletFormat() {
    QTextListFormat list;
    list.setStyle(QTextListFormat::ListDisc);
    list.setIndent(1);
    return list;
}

QString Family(const QTextCharFormat& format, const QFont& defaultFont) {
    const QStringList families = format.fontFamilies().toStringList();
    for (const QString& family : families)
        if (!family.trimmed().isEmpty())
            return family.trimmed();
    const QString family = format.stringProperty(QTextFormat::FontFamily).trimmed();
    return family.isEmpty() ? defaultFont.family() : family;
}

double PointSize(const QTextCharFormat& format, const QFont& defaultFont) {
    double points = defaultFont.pointSizeF() > 0 ? defaultFont.pointSizeF() : 10.0;
    if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
        points = format.fontPointSize();
    else if (format.hasProperty(QTextFormat::FontPixelSize) &&
             format.intProperty(QTextFormat::FontPixelSize) > 0)
        points = format.intProperty(QTextFormat::FontPixelSize) * 0.75;
    if (format.hasProperty(QTextFormat::FontSizeAdjustment)) {
        // HTML's small, medium, large, ... as Qt sizes them.
        static constexpr double kScale[] = {0.8, 1.0, 1.2, 1.5, 2.0, 2.4};
        const int adjustment =
            std::clamp(format.intProperty(QTextFormat::FontSizeAdjustment), -1, 4);
        points *= kScale[adjustment + 1];
    }
    return points;
}

// Text as the model keeps it: no objects (pictures) and no control characters.
std::u16string ModelText(const QString& text) {
    std::u16string out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == QChar::ParagraphSeparator || u == QChar::LineSeparator)
            out += u'\u2028';
        else if (u == u'\t' || (u >= 0x20 && u != 0x7F && u != QChar::ObjectReplacementCharacter))
            out += u;
    }
    return out;
}

void AppendRun(rtf::Paragraph& paragraph, std::u16string text, const rtf::CharFormat& format) {
    if (text.empty())
        return;
    if (!paragraph.runs.empty() && paragraph.runs.back().format == format)
        paragraph.runs.back().text += text;
    else
        paragraph.runs.push_back({std::move(text), format});
}

// A block that stands for `blanks` more empty paragraphs after it: they show as room below its
// line, one line of its end's format each. The room is kept within what Qt can place (about 33
// million pixels); what is shown so is for reading only.
QTextBlockFormat WithFollowingBlanks(QTextBlockFormat format, int blanks,
                                     const QTextCharFormat& mark) {
    if (blanks <= 0)
        return format;
    constexpr double kMaxRoom = 4e6;
    const double line = std::ceil(QFontMetricsF(mark.font()).lineSpacing());
    // As the height of its one line: Qt leaves out the bottom margin of a memo's last block.
    format.setLineHeight(std::min(kMaxRoom, (blanks + 1) * line), QTextBlockFormat::FixedHeight);
    format.setProperty(kFollowingBlanksProperty, blanks);
    return format;
}

// Inserts paragraph `i` of the model at the cursor: the first one into the cursor's block
// (formatting it too when `formatFirst`), the others as blocks of their own.
void InsertParagraph(QTextCursor& cursor, const rtf::Document& model, size_t i, bool formatFirst,
                     QTextList*& list) {
    const rtf::Paragraph& p = model.paragraphs[i];
    const bool formatted = i > 0 || formatFirst;
    const QTextCharFormat mark = ToQtFormat(p.markFormat);
    const QTextBlockFormat block =
        WithFollowingBlanks(ToQtBlockFormat(p.format), p.followingBlanks, mark);
    if (i > 0) {
        cursor.insertBlock(block, mark);
    } else if (formatFirst) {
        if (QTextList* old = cursor.block().textList())
            old->remove(cursor.block());
        cursor.setBlockFormat(block);
        cursor.setBlockCharFormat(mark);
    }
    if (formatted) {
        if (!p.format.bullet) {
            list = nullptr;
        } else if (list) {
            list->add(cursor.block());
        } else {
            list = cursor.createList(BulletFormat());
        }
    }
    for (const rtf::Run& run : p.runs)
        cursor.insertText(QString::fromStdU16String(run.text), ToQtFormat(run.format));
}

void InsertParagraphs(QTextCursor& cursor, const rtf::Document& model, bool formatFirst) {
    QTextList* list = nullptr;
    for (size_t i = 0; i < model.paragraphs.size(); ++i)
        InsertParagraph(cursor, model, i, formatFirst, list);
}

}  // namespace

void SetUpMemoDocument(QTextDocument& document) {
    document.setDefaultFont(
        QFont(QString::fromStdU16String(rtf::kDefaultFont), rtf::kDefaultHalfPoints / 2));
    document.setIndentWidth(rtf::kBulletIndent / kTwipsPerPixel);
    QTextOption option = document.defaultTextOption();
    option.setTabStopDistance(rtf::kTabStopTwips / kTwipsPerPixel);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document.setDefaultTextOption(option);
}

rtf::CharFormat ToModelFormat(const QTextCharFormat& format, const QFont& defaultFont) {
    rtf::CharFormat f;
    f.font = Family(format, defaultFont).toStdU16String();
    f.halfPoints =
        std::clamp(static_cast<int>(std::lround(PointSize(format, defaultFont) * 2)), 2, 3276);
    f.bold = format.fontWeight() >= QFont::DemiBold;
    f.italic = format.fontItalic();
    f.underline = format.fontUnderline() || format.underlineStyle() != QTextCharFormat::NoUnderline;
    if (format.hasProperty(QTextFormat::ForegroundBrush) &&
        format.foreground().style() != Qt::NoBrush)
        f.color = format.foreground().color().rgb() & 0xFFFFFF;
    return f;
}

QTextCharFormat ToQtFormat(const rtf::CharFormat& format) {
    QTextCharFormat f;
    f.setFontFamilies({QString::fromStdU16String(format.font)});
    f.setFontPointSize(format.halfPoints / 2.0);
    f.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(format.italic);
    f.setFontUnderline(format.underline);
    // No brush at all: the text takes the palette's colour, as "Automatic" promises.
    if (format.color)
        f.setForeground(QColor::fromRgb(*format.color | 0xFF000000u));
    return f;
}

QTextBlockFormat ToQtBlockFormat(const rtf::ParaFormat& format) {
    QTextBlockFormat f;
    switch (format.align) {
        case rtf::Align::kLeft:
            f.setAlignment(Qt::AlignLeft);
            break;
        case rtf::Align::kCenter:
            f.setAlignment(Qt::AlignHCenter);
            break;
        case rtf::Align::kRight:
            f.setAlignment(Qt::AlignRight);
            break;
        case rtf::Align::kJustify:
            f.setAlignment(Qt::AlignJustify);
            break;
    }
    f.setLeftMargin(format.leftIndent / kTwipsPerPixel);
    f.setRightMargin(format.rightIndent / kTwipsPerPixel);
    f.setTextIndent(format.bullet ? 0 : format.firstIndent / kTwipsPerPixel);
    return f;
}

int LeftIndentTwips(const QTextBlockFormat& format, const QTextDocument& document) {
    return std::clamp(Twips(format.leftMargin() + format.indent() * document.indentWidth()), 0,
                      rtf::kMaxIndent);
}

rtf::Document ToModel(const QTextDocument& document) {
    rtf::Document model;
    const QFont defaultFont = document.defaultFont();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        // A table (pasted HTML) is followed by an empty block of Qt's own, not of the text.
        const QTextBlock previous = block.previous();
        if (block.length() <= 1 && previous.isValid() && QTextCursor(previous).currentTable() &&
            !QTextCursor(block).currentTable())
            continue;
        rtf::Paragraph& p = model.paragraphs.emplace_back();
        const QTextBlockFormat bf = block.blockFormat();
        const Qt::Alignment align = bf.alignment() & Qt::AlignHorizontal_Mask;
        if (align & Qt::AlignHCenter)
            p.format.align = rtf::Align::kCenter;
        else if (align & (Qt::AlignRight | Qt::AlignTrailing))
            p.format.align = rtf::Align::kRight;
        else if (align & Qt::AlignJustify)
            p.format.align = rtf::Align::kJustify;
        p.format.bullet = block.textList() != nullptr;
        p.format.leftIndent = LeftIndentTwips(bf, document);
        p.format.rightIndent = std::clamp(Twips(bf.rightMargin()), 0, rtf::kMaxIndent);
        if (!p.format.bullet)
            p.format.firstIndent =
                std::clamp(Twips(bf.textIndent()), -p.format.leftIndent, rtf::kMaxIndent);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid())
                AppendRun(p, ModelText(fragment.text()),
                          ToModelFormat(fragment.charFormat(), defaultFont));
        }
        p.markFormat = ToModelFormat(block.charFormat(), defaultFont);
        p.followingBlanks = std::max(0, bf.intProperty(kFollowingBlanksProperty));
    }
    if (model.paragraphs.empty())
        model.paragraphs.emplace_back();
    return model;
}

void SetFromModel(QTextDocument& document, const rtf::Document& model) {
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    InsertParagraphs(cursor, model, true);
    cursor.endEditBlock();
}

CModelFiller::CModelFiller(QTextDocument& document, rtf::Document model)
    : model_(std::move(model)), cursor_(&document) {
    document.clear();
    if (model_.paragraphs.empty())
        model_.paragraphs.emplace_back();
}

bool CModelFiller::Step(std::chrono::milliseconds budget) {
    QElapsedTimer timer;
    timer.start();
    QAbstractTextDocumentLayout* layout = cursor_.document()->documentLayout();
    while (!Done()) {
        cursor_.beginEditBlock();
        InsertParagraph(cursor_, model_, next_, true, list_);
        cursor_.endEditBlock();
        ++next_;
        // Laid out now, within the step's time, rather than later in one long piece by Qt's
        // own background layout.
        layout->blockBoundingRect(cursor_.block());
        if (timer.elapsed() >= budget.count())
            break;
    }
    return Done();
}

void InsertModel(QTextCursor& cursor, const rtf::Document& model) {
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    InsertParagraphs(cursor, model, cursor.block().length() <= 1);
    cursor.endEditBlock();
}

QString MemoPlainText(const QTextDocument& document) {
    QString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            text += QStringLiteral("\r\n");
        text += QString::fromStdU16String(ModelText(block.text()));
        const int blanks = block.blockFormat().intProperty(kFollowingBlanksProperty);
        for (int i = 0; i < blanks; ++i)
            text += QStringLiteral("\r\n");
    }
    // A line break inside a paragraph is a line end all the same.
    text.replace(QChar(u'\u2028'), QStringLiteral("\r\n"));
    return text;
}

}  // namespace zorvel
