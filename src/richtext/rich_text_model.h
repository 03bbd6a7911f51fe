#pragma once

#include <QFont>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <chrono>
#include <cstddef>

#include "richtext/core/rtf_document.h"

class QTextBlockFormat;
class QTextDocument;
class QTextList;

// Between the editor's QTextDocument and the memo model the RTF reader and writer use. Only
// what the model holds crosses over, so a document built from a model gives that model back.
namespace zorvel {

// Lengths: the editor works at 96 pixels an inch, RTF in twips (1440 an inch).
constexpr double kTwipsPerPixel = 15.0;

// A block's count of the blank paragraphs that follow it, shown as room below it
// (rtf::Paragraph::followingBlanks).
constexpr int kFollowingBlanksProperty = QTextFormat::UserProperty + 1;

// Gives a new memo document the editor's defaults: Times New Roman 10 pt, a tab stop every
// 640 twips, and bullets that move the text by the bullet indent.
void SetUpMemoDocument(QTextDocument& document);

rtf::CharFormat ToModelFormat(const QTextCharFormat& format, const QFont& defaultFont);
QTextCharFormat ToQtFormat(const rtf::CharFormat& format);
QTextBlockFormat ToQtBlockFormat(const rtf::ParaFormat& format);
// A block's left indent in twips, without a bullet's own.
int LeftIndentTwips(const QTextBlockFormat& format, const QTextDocument& document);

rtf::Document ToModel(const QTextDocument& document);
// Replaces the document's whole content with the model.
void SetFromModel(QTextDocument& document, const rtf::Document& model);

// Replaces a document's content with a model a few paragraphs at a time, for memos so long
// that laying them out at once would hold up the window for seconds: each Step appends
// paragraphs until its time is up (or all are in), and the window runs in between. The
// document must outlive the filler.
class CModelFiller {
public:
    CModelFiller(QTextDocument& document, rtf::Document model);

    // True once every paragraph is in.
    bool Step(std::chrono::milliseconds budget);
    bool Done() const { return next_ >= model_.paragraphs.size(); }

private:
    rtf::Document model_;
    QTextCursor cursor_;
    QTextList* list_ = nullptr;
    size_t next_ = 0;
};
// Inserts the model at the cursor, in place of its selection. The first paragraph joins the
// one the cursor is in and keeps that one's paragraph format, unless the cursor is in an
// empty paragraph; the others come with their own.
void InsertModel(QTextCursor& cursor, const rtf::Document& model);

// The memo's plain text as stored next to its RTF: paragraphs end in "\r\n" as the Windows
// program's memos do, bullets are not part of the text.
QString MemoPlainText(const QTextDocument& document);

}  // namespace zorvel
