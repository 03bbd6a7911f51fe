#pragma once

#include <QFont>
#include <QString>
#include <QTextCharFormat>

#include "widgets/core/rtf_document.h"

class QTextBlockFormat;
class QTextCursor;
class QTextDocument;

// Between the editor's QTextDocument and the memo model the RTF reader and writer use. Only
// what the model holds crosses over, so a document built from a model gives that model back.
namespace zorvel {

// Lengths: the editor works at 96 pixels an inch, RTF in twips (1440 an inch).
constexpr double kTwipsPerPixel = 15.0;

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
// Inserts the model at the cursor, in place of its selection. The first paragraph joins the
// one the cursor is in and keeps that one's paragraph format, unless the cursor is in an
// empty paragraph; the others come with their own.
void InsertModel(QTextCursor& cursor, const rtf::Document& model);

// The memo's plain text as stored next to its RTF: paragraphs end in "\r\n" as the Windows
// program's memos do, bullets are not part of the text.
QString MemoPlainText(const QTextDocument& document);

}  // namespace zorvel
