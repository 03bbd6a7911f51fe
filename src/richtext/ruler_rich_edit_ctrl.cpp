#include "richtext/ruler_rich_edit_ctrl.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

#include "richtext/colour_picker.h"
#include "richtext/core/rtf_reader.h"
#include "richtext/core/rtf_writer.h"
#include "richtext/rich_text_model.h"
#include "widgets/message_box.h"
#include "widgets/window_modal.h"

using namespace zorvel;

namespace {

constexpr int kToolBarHeight = 28;
constexpr int kRulerHeight = 26;
// The text keeps this much room from the area's left and right edges, and from its top.
constexpr int kSideInset = 8;
constexpr int kTopInset = 4;

// RTF texts up to this size are read on the window's thread (a few milliseconds), memos up to
// these sizes are laid out at once (well under 100 ms); longer ones go slice by slice.
constexpr qsizetype kReadAtOnceBytes = 64 * 1024;
constexpr size_t kShowAtOnceChars = 16 * 1024;
constexpr size_t kShowAtOnceParagraphs = 1000;
// A slice of laying out: the window answers in between.
constexpr std::chrono::milliseconds kFillSlice(25);
// Memos longer than this wrap at the width of a maximised editor whatever the window's size,
// as Qt would lay all of one out again, in pieces that stop the window for up to a second,
// whenever the window changed its width.
constexpr size_t kFixedWidthChars = 100 * 1024;

// Memos written on Windows name Windows faces; these are the faces of the same measure (or
// at least the same kind) that a Linux desktop has, Chinese text going to Noto CJK.
void SubstituteWindowsFonts() {
    static bool done = false;
    if (std::exchange(done, true))
        return;
    const QString serifCjk = QStringLiteral("Noto Serif CJK SC");
    const QString sansCjk = QStringLiteral("Noto Sans CJK SC");
    const QString serif = QStringLiteral("Liberation Serif");
    const QString sans = QStringLiteral("Liberation Sans");
    const QString mono = QStringLiteral("Liberation Mono");
    const struct {
        const char16_t* face;
        QStringList substitutes;
    } kFaces[] = {
        {u"Times New Roman", {serif, serifCjk}},
        {u"Arial", {sans, sansCjk}},
        {u"Courier New", {mono, sansCjk}},
        {u"宋体", {serifCjk}},
        {u"SimSun", {serifCjk}},
        {u"新宋体", {serifCjk}},
        {u"NSimSun", {serifCjk}},
        {u"仿宋_GB2312", {serifCjk}},
        {u"楷体_GB2312", {serifCjk}},
        {u"黑体", {sansCjk}},
        {u"SimHei", {sansCjk}},
        {u"微软雅黑", {sansCjk}},
        {u"Microsoft YaHei", {sansCjk}},
    };
    for (const auto& f : kFaces)
        QFont::insertSubstitutions(QString::fromStdU16String(f.face), f.substitutes);
}

QString SizeText(int halfPoints) {
    return halfPoints % 2 == 0 ? QString::number(halfPoints / 2)
                               : QString::number(halfPoints / 2.0, 'f', 1);
}

// The blocks from the selection's first to its last (the cursor's block without one).
std::vector<QTextBlock> SelectedBlocks(const QTextCursor& cursor) {
    const QTextDocument* document = cursor.document();
    QTextBlock block = document->findBlock(cursor.selectionStart());
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    std::vector<QTextBlock> blocks;
    for (; block.isValid(); block = block.next()) {
        blocks.push_back(block);
        if (block == last)
            break;
    }
    return blocks;
}

// The formats of the selected text; without a selection, the format typing would get.
std::vector<rtf::CharFormat> SelectedFormats(const QTextEdit& edit) {
    const QTextCursor cursor = edit.textCursor();
    const QFont defaultFont = edit.document()->defaultFont();
    std::vector<rtf::CharFormat> formats;
    if (cursor.hasSelection()) {
        const int start = cursor.selectionStart();
        const int end = cursor.selectionEnd();
        for (const QTextBlock& block : SelectedBlocks(cursor)) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                if (f.isValid() && f.position() < end && f.position() + f.length() > start)
                    formats.push_back(ToModelFormat(f.charFormat(), defaultFont));
            }
        }
    }
    if (formats.empty())
        formats.push_back(ToModelFormat(edit.currentCharFormat(), defaultFont));
    return formats;
}

QString Count(size_t n) {
    return QLocale(QLocale::English).toString(static_cast<qulonglong>(n));
}

// How long each paragraph of a model is, in characters.
std::vector<size_t> ParagraphLengths(const rtf::Document& model) {
    std::vector<size_t> lengths;
    lengths.reserve(model.paragraphs.size());
    for (const rtf::Paragraph& p : model.paragraphs)
        lengths.push_back(rtf::TextLength(p));
    return lengths;
}

template <typename Get>
bool All(const std::vector<rtf::CharFormat>& formats, Get get) {
    return std::all_of(formats.begin(), formats.end(), get);
}

}  // namespace

// ---------------------------------------------------------------------- text area

CRichTextArea::CRichTextArea(QWidget* parent) : QTextEdit(parent) {
    setObjectName(QStringLiteral("memoText"));
    setAccessibleName(QStringLiteral("记事内容"));
    setLineWrapMode(QTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    SetUpMemoDocument(*document());
    ApplyInsets();
    document()->clearUndoRedoStacks();
    document()->setModified(false);
    // The selection stays visible while a toolbar list has the focus.
    QPalette p = palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
    setPalette(p);
}

void CRichTextArea::ApplyInsets() {
    QTextFrame* root = document()->rootFrame();
    QTextFrameFormat format = root->frameFormat();
    format.setLeftMargin(kSideInset);
    format.setRightMargin(kSideInset);
    format.setTopMargin(kTopInset);
    format.setBottomMargin(kTopInset);
    root->setFrameFormat(format);
}

namespace {
const char* const kRtfMimeTypes[] = {"text/rtf", "application/rtf", "text/richtext"};
}

bool CRichTextArea::canInsertFromMimeData(const QMimeData* source) const {
    if (source->hasHtml() || source->hasText())
        return true;
    return std::any_of(std::begin(kRtfMimeTypes), std::end(kRtfMimeTypes),
                       [source](const char* type) { return source->hasFormat(type); });
}

bool CRichTextArea::RefuseTooLong(const std::vector<size_t>& paragraphs) {
    const QTextCursor cursor = textCursor();
    const QTextDocument& doc = *document();
    size_t pasted = paragraphs.empty() ? 0 : paragraphs.size() - 1;
    for (size_t length : paragraphs)
        pasted += length;
    const size_t kept = static_cast<size_t>(doc.characterCount() - 1) -
                        static_cast<size_t>(cursor.selectionEnd() - cursor.selectionStart());
    QString refusal;
    if (pasted > rtf::kMaxMemoChars || kept + pasted > rtf::kMaxMemoChars) {
        refusal = QStringLiteral("记事最多 %1 个字符，粘贴的内容没有加入。")
                      .arg(Count(rtf::kMaxMemoChars));
    } else if (!paragraphs.empty()) {
        // The first pasted paragraph joins the text before the selection, the last one the
        // text after it.
        const QTextBlock first = doc.findBlock(cursor.selectionStart());
        const QTextBlock last = doc.findBlock(cursor.selectionEnd());
        const auto before = static_cast<size_t>(cursor.selectionStart() - first.position());
        const auto after =
            static_cast<size_t>(last.position() + last.length() - 1 - cursor.selectionEnd());
        std::vector<size_t> joined = paragraphs;
        joined.front() += before;
        joined.back() += after;
        if (*std::max_element(joined.begin(), joined.end()) > rtf::kMaxParagraphChars)
            refusal = QStringLiteral("记事的一段最多 %1 个字符，粘贴的内容没有加入。")
                          .arg(Count(rtf::kMaxParagraphChars));
    }
    if (refusal.isEmpty())
        return false;
    ShowWarning(this, refusal);
    return true;
}

void CRichTextArea::insertFromMimeData(const QMimeData* source) {
    QTextCursor cursor = textCursor();
    const auto type = std::find_if(std::begin(kRtfMimeTypes), std::end(kRtfMimeTypes),
                                   [source](const char* t) { return source->hasFormat(t); });
    if (source->hasHtml() || type != std::end(kRtfMimeTypes)) {
        // The plain text that comes along says soon enough when there is far too much, before
        // the HTML is taken apart.
        if (source->hasText() && source->text().size() > 2 * qsizetype{rtf::kMaxMemoChars} &&
            RefuseTooLong({static_cast<size_t>(source->text().size())}))
            return;
        rtf::Document model;
        if (source->hasHtml()) {
            QTextDocument scratch;
            SetUpMemoDocument(scratch);
            scratch.setHtml(source->html());
            model = ToModel(scratch);
        } else {
            model = rtf::ReadRtf(source->data(*type).toStdString());
        }
        if (RefuseTooLong(ParagraphLengths(model)))
            return;
        InsertModel(cursor, model);
    } else if (source->hasText()) {
        // Plain text is typed in: it takes the format at the cursor.
        QString text = source->text();
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
        text.removeIf([](QChar c) { return c < u' ' && c != u'\n' && c != u'\t'; });
        std::vector<size_t> lines;
        qsizetype start = 0;
        for (qsizetype end; (end = text.indexOf(u'\n', start)) >= 0; start = end + 1)
            lines.push_back(static_cast<size_t>(end - start));
        lines.push_back(static_cast<size_t>(text.size() - start));
        if (RefuseTooLong(lines))
            return;
        cursor.insertText(text);
    } else {
        return;
    }
    setTextCursor(cursor);
    ensureCursorVisible();
}

// ---------------------------------------------------------------------- ruler

CRuler::CRuler(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ruler"));
    setAccessibleName(QStringLiteral("标尺"));
    setFixedHeight(kRulerHeight);
}

void CRuler::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const int left = kSideInset + 1;
    const QRect band(left, 5, width() - 2 * left, height() - 10);
    painter.fillRect(band, palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(band.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Text));
    QFont small = font();
    small.setPixelSize(9);
    painter.setFont(small);
    // An eighth of an inch is 180 twips, 12 pixels.
    for (int i = 1; left + i * 12 < band.right(); ++i) {
        const int x = left + i * 12;
        if (i % 8 == 0)
            painter.drawText(QRect(x - 10, band.top(), 20, band.height()), Qt::AlignCenter,
                             QString::number(i / 8));
        else
            painter.drawLine(x, band.center().y() - (i % 4 == 0 ? 3 : 1), x,
                             band.center().y() + (i % 4 == 0 ? 3 : 1));
    }
    painter.setPen(palette().color(QPalette::Dark));
    for (int stop = 1; stop <= rtf::kTabStopCount; ++stop) {
        const int x = left + static_cast<int>(stop * rtf::kTabStopTwips / kTwipsPerPixel);
        if (x >= band.right())
            break;
        painter.drawLine(x, band.bottom() + 1, x, height() - 1);
    }
}

// ---------------------------------------------------------------------- editor

CRulerRichEditCtrl::CRulerRichEditCtrl(QWidget* parent) : QWidget(parent) {
    SubstituteWindowsFonts();
    setObjectName(QStringLiteral("richEdit"));

    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("formatToolBar"));
    toolBar_->setAccessibleName(QStringLiteral("格式"));
    toolBar_->setFixedHeight(kToolBarHeight);
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);

    fontAction_ = AddButton("fontButton", QStringLiteral("字体"), "font", false);
    connect(fontAction_, &QAction::triggered, this, &CRulerRichEditCtrl::OnFont);
    toolBar_->addSeparator();

    fontName_ = new QComboBox;
    fontName_->setObjectName(QStringLiteral("fontNameCombo"));
    fontName_->setAccessibleName(QStringLiteral("字体名称"));
    fontName_->setToolTip(QStringLiteral("字体名称"));
    fontName_->setEditable(true);
    fontName_->setInsertPolicy(QComboBox::NoInsert);
    fontName_->setFixedWidth(128);
    fontName_->setMaxVisibleItems(20);
    QStringList families;
    for (const QString& family : QFontDatabase::families())
        if (!QFontDatabase::isPrivateFamily(family))
            families << family;
    std::sort(families.begin(), families.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    families.removeDuplicates();
    fontName_->addItems(families);
    fontName_->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    toolBar_->addWidget(fontName_);
    ApplyOnEnter(fontName_, &CRulerRichEditCtrl::ApplyFontName);
    toolBar_->addSeparator();

    fontSize_ = new QComboBox;
    fontSize_->setObjectName(QStringLiteral("fontSizeCombo"));
    fontSize_->setAccessibleName(QStringLiteral("字号"));
    fontSize_->setToolTip(QStringLiteral("字号"));
    fontSize_->setEditable(true);
    fontSize_->setInsertPolicy(QComboBox::NoInsert);
    fontSize_->setFixedWidth(48);
    fontSize_->addItems(FontSizes());
    fontSize_->setMaxVisibleItems(fontSize_->count());
    toolBar_->addWidget(fontSize_);
    ApplyOnEnter(fontSize_, &CRulerRichEditCtrl::ApplyFontSize);
    toolBar_->addSeparator();

    colour_ = new CColourPicker;
    // In a holder of its own: the toolbar would give a tool button its own icon size.
    auto* colourHolder = new QWidget;
    auto* colourLayout = new QHBoxLayout(colourHolder);
    colourLayout->setContentsMargins(0, 0, 0, 0);
    colourLayout->addWidget(colour_);
    toolBar_->addWidget(colourHolder);
    connect(colour_, &CColourPicker::ColourPicked, this, &CRulerRichEditCtrl::ApplyColour);
    toolBar_->addSeparator();

    bold_ = AddButton("boldButton", QStringLiteral("粗体"), "bold", true);
    italic_ = AddButton("italicButton", QStringLiteral("斜体"), "italic", true);
    underline_ = AddButton("underlineButton", QStringLiteral("下划线"), "underline", true);
    bold_->setShortcut(QKeySequence::Bold);
    italic_->setShortcut(QKeySequence::Italic);
    underline_->setShortcut(QKeySequence::Underline);
    connect(bold_, &QAction::triggered, this, &CRulerRichEditCtrl::OnBold);
    connect(italic_, &QAction::triggered, this, &CRulerRichEditCtrl::OnItalic);
    connect(underline_, &QAction::triggered, this, &CRulerRichEditCtrl::OnUnderline);
    toolBar_->addSeparator();

    alignLeft_ = AddButton("alignLeftButton", QStringLiteral("左对齐"), "align_left", true);
    alignCenter_ = AddButton("alignCenterButton", QStringLiteral("居中"), "align_center", true);
    alignRight_ = AddButton("alignRightButton", QStringLiteral("右对齐"), "align_right", true);
    auto* alignGroup = new QActionGroup(this);
    for (QAction* a : {alignLeft_, alignCenter_, alignRight_})
        alignGroup->addAction(a);
    connect(alignLeft_, &QAction::triggered, this, [this] { OnAlign(Qt::AlignLeft); });
    connect(alignCenter_, &QAction::triggered, this, [this] { OnAlign(Qt::AlignHCenter); });
    connect(alignRight_, &QAction::triggered, this, [this] { OnAlign(Qt::AlignRight); });
    toolBar_->addSeparator();

    indent_ = AddButton("indentButton", QStringLiteral("增加缩进"), "indent", false);
    outdent_ = AddButton("outdentButton", QStringLiteral("减少缩进"), "outdent", false);
    bullets_ = AddButton("bulletButton", QStringLiteral("项目符号"), "bullets", true);
    connect(indent_, &QAction::triggered, this, &CRulerRichEditCtrl::OnIndent);
    connect(outdent_, &QAction::triggered, this, &CRulerRichEditCtrl::OnOutdent);
    connect(bullets_, &QAction::triggered, this, &CRulerRichEditCtrl::OnBullets);

    ruler_ = new CRuler(this);
    text_ = new CRichTextArea(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar_);
    layout->addWidget(ruler_);
    layout->addWidget(text_, 1);
    setFocusProxy(text_);

    connect(text_, &QTextEdit::cursorPositionChanged, this, &CRulerRichEditCtrl::UpdateToolbar);
    connect(text_, &QTextEdit::selectionChanged, this, &CRulerRichEditCtrl::UpdateToolbar);
    connect(text_, &QTextEdit::currentCharFormatChanged, this, &CRulerRichEditCtrl::UpdateToolbar);
    fillTimer_ = new QTimer(this);
    fillTimer_->setInterval(0);
    connect(fillTimer_, &QTimer::timeout, this, &CRulerRichEditCtrl::FillStep);
    UpdateToolbar();
}

CRulerRichEditCtrl::~CRulerRichEditCtrl() = default;

const QStringList& CRulerRichEditCtrl::FontSizes() {
    static const QStringList sizes = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                                      "20", "22", "24", "26", "28", "36", "48", "72"};
    return sizes;
}

void CRulerRichEditCtrl::ApplyOnEnter(QComboBox* combo,
                                      void (CRulerRichEditCtrl::*apply)(const QString&)) {
    // An entry picked from the list, or typed and confirmed with Enter.
    connect(combo, &QComboBox::textActivated, this, apply);
    // The list reports typed text only when it is one of its entries (a face or size that is
    // not listed, such as 10.5, would be lost): the rest is taken from the field itself.
    connect(combo->lineEdit(), &QLineEdit::returnPressed, this, [this, combo, apply] {
        Qt::MatchFlags flags = Qt::MatchFixedString;
        if (combo->completer()->caseSensitivity() == Qt::CaseSensitive)
            flags |= Qt::MatchCaseSensitive;
        const QString text = combo->lineEdit()->text();
        if (combo->findText(text, flags) < 0)
            (this->*apply)(text);
    });
}

QAction* CRulerRichEditCtrl::AddButton(const char* name, const QString& text, const char* icon,
                                       bool checkable) {
    auto* action = new QAction(
        QIcon(QStringLiteral(":/widgets/%1.svg").arg(QString::fromLatin1(icon))), text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(text);
    action->setCheckable(checkable);
    // Shortcuts work wherever the focus is inside the editor.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(action);
    toolBar_->addAction(action);
    if (QWidget* button = toolBar_->widgetForAction(action)) {
        button->setObjectName(QString::fromLatin1(name));
        button->setAccessibleName(text);
        button->setFocusPolicy(Qt::NoFocus);
    }
    return action;
}

void CRulerRichEditCtrl::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // The list has applied what was typed (or the text area took the line break).
            event->accept();
            return;
        case Qt::Key_Escape:
            if (!toolBar_->isAncestorOf(QApplication::focusWidget()))
                break;  // the dialog's own Escape
            UpdateToolbar();
            BackToText();
            event->accept();
            return;
        default:
            break;
    }
    QWidget::keyPressEvent(event);
}

void CRulerRichEditCtrl::SetRulerVisible(bool visible) {
    ruler_->setVisible(visible);
}

bool CRulerRichEditCtrl::IsRulerVisible() const {
    return !ruler_->isHidden();
}

void CRulerRichEditCtrl::SetRichText(const QString& rtf) {
    const unsigned number = ++loadNumber_;
    filler_.reset();
    fillTimer_->stop();
    if (rtf.size() <= kReadAtOnceBytes) {
        rtf::Document model = rtf::ReadRtf(rtf.toStdString());
        const rtf::EditorFit fit = rtf::FitForEditor(model);
        Show(std::move(model), fit);
        return;
    }
    // Read off the window's thread: a stored memo may be tens of megabytes of RTF.
    loading_ = true;
    text_->setReadOnly(true);
    text_->document()->clear();
    struct Reading {
        rtf::Document model;
        rtf::EditorFit fit;
    };
    auto reading = std::make_shared<Reading>();
    QThread* reader = QThread::create([rtf, reading] {
        reading->model = rtf::ReadRtf(rtf.toStdString());
        reading->fit = rtf::FitForEditor(reading->model);
    });
    // The thread goes when it is done, whether or not the editor is still there to take the
    // memo.
    connect(reader, &QThread::finished, reader, &QObject::deleteLater);
    connect(reader, &QThread::finished, this, [this, number, reading] {
        if (number == loadNumber_)
            Show(std::move(reading->model), reading->fit);
    });
    reader->start();
}

void CRulerRichEditCtrl::Show(rtf::Document model, const rtf::EditorFit& fit) {
    fit_ = fit;
    QTextDocument* document = text_->document();
    // What there is to lay out: the text, and a line for each paragraph (a run of blank lines
    // is one).
    size_t length = model.paragraphs.size();
    for (const rtf::Paragraph& p : model.paragraphs)
        length += rtf::TextLength(p);
    if (length > kFixedWidthChars) {
        // What a maximised editor's text area shows, less a little for the window's frame.
        const QScreen* screen = this->screen();
        const int available = screen ? screen->availableGeometry().width() : 1024;
        const int margins =
            8 + 2 * text_->frameWidth() + 16 + text_->verticalScrollBar()->sizeHint().width();
        text_->setLineWrapMode(QTextEdit::FixedPixelWidth);
        text_->setLineWrapColumnOrWidth(std::max(200, available - margins));
    } else {
        text_->setLineWrapMode(QTextEdit::WidgetWidth);
    }
    if (length <= kShowAtOnceChars && model.paragraphs.size() <= kShowAtOnceParagraphs) {
        SetFromModel(*document, model);
        text_->ApplyInsets();
        FinishLoading();
        return;
    }
    loading_ = true;
    text_->setReadOnly(true);
    document->setUndoRedoEnabled(false);
    filler_ = std::make_unique<CModelFiller>(*document, std::move(model));
    text_->ApplyInsets();
    text_->setTextCursor(QTextCursor(document));
    FillStep();
}

void CRulerRichEditCtrl::FillStep() {
    if (!filler_)
        return;
    if (!filler_->Step(kFillSlice)) {
        fillTimer_->start();
        return;
    }
    fillTimer_->stop();
    filler_.reset();
    FinishLoading();
}

void CRulerRichEditCtrl::FinishLoading() {
    QTextDocument* document = text_->document();
    // (The insets were set before the first paragraph went in: setting them again now would
    // have the whole memo laid out once more.)
    document->setUndoRedoEnabled(true);
    document->clearUndoRedoStacks();
    document->setModified(false);
    text_->setTextCursor(QTextCursor(document));
    text_->setReadOnly(fit_.readOnly);
    toolBar_->setEnabled(!fit_.readOnly);
    const bool wasLoading = std::exchange(loading_, false);
    UpdateToolbar();
    if (wasLoading)
        emit Loaded();
}

QString CRulerRichEditCtrl::GetRichText() const {
    return QString::fromStdString(rtf::WriteRtf(ToModel(*text_->document())));
}

QString CRulerRichEditCtrl::PlainText() const {
    return MemoPlainText(*text_->document());
}

bool CRulerRichEditCtrl::IsModified() const {
    return !loading_ && !fit_.readOnly && text_->document()->isModified();
}

void CRulerRichEditCtrl::BackToText() {
    text_->setFocus(Qt::OtherFocusReason);
}

void CRulerRichEditCtrl::MergeFormat(const QTextCharFormat& format) {
    text_->mergeCurrentCharFormat(format);
    UpdateToolbar();
    BackToText();
}

void CRulerRichEditCtrl::OnFont() {
    const rtf::CharFormat current = SelectedFormats(*text_).front();
    QFont initial(QString::fromStdU16String(current.font));
    initial.setPointSizeF(current.halfPoints / 2.0);
    initial.setBold(current.bold);
    initial.setItalic(current.italic);
    initial.setUnderline(current.underline);
    // The dialog lists installed faces only: it starts on the face that shows the text (say
    // Liberation Serif for Times New Roman), which then stands for the face the memo names.
    const QString shownFamily = QFontInfo(initial).family();
    QFont shown = initial;
    shown.setFamily(shownFamily);
    // By the face's own style name: the dialog matches names, and the translated name it
    // would make of the weight (粗体) is none of the face's.
    for (const QString& style : QFontDatabase::styles(shownFamily)) {
        if (QFontDatabase::bold(shownFamily, style) == current.bold &&
            QFontDatabase::italic(shownFamily, style) == current.italic) {
            shown.setStyleName(style);
            break;
        }
    }
    QFontDialog dlg(shown, window());
    dlg.setObjectName(QStringLiteral("fontDialog"));
    // Struck-out text is not kept in a memo, so the dialog does not offer it.
    const QString strikeOut = QCoreApplication::translate("QFontDialog", "Stri&keout");
    for (QCheckBox* box : dlg.findChildren<QCheckBox*>())
        if (box->text() == strikeOut)
            box->hide();
    if (zorvel::RunWindowModal(dlg) != QDialog::Accepted) {
        BackToText();
        return;
    }
    const QFont chosen = dlg.selectedFont();
    QTextCharFormat format;
    const QString family = chosen.family() == shownFamily ? initial.family() : chosen.family();
    format.setFontFamilies({family});
    if (chosen.pointSizeF() > 0)
        format.setFontPointSize(chosen.pointSizeF());
    format.setFontWeight(chosen.bold() ? QFont::Bold : QFont::Normal);
    format.setFontItalic(chosen.italic());
    format.setFontUnderline(chosen.underline());
    MergeFormat(format);
}

void CRulerRichEditCtrl::ApplyFontName(const QString& name) {
    const QString family = name.trimmed();
    if (family.isEmpty()) {
        UpdateToolbar();
        BackToText();
        return;
    }
    QTextCharFormat format;
    format.setFontFamilies({family});
    MergeFormat(format);
}

void CRulerRichEditCtrl::ApplyFontSize(const QString& size) {
    bool ok = false;
    const double points = size.trimmed().toDouble(&ok);
    if (!ok || points < 1 || points > 1638) {
        UpdateToolbar();  // shows the selection's size again
        BackToText();
        return;
    }
    QTextCharFormat format;
    format.setFontPointSize(std::round(points * 2) / 2);  // RTF keeps half points
    MergeFormat(format);
}

void CRulerRichEditCtrl::ApplyColour(const std::optional<QColor>& colour) {
    QTextCharFormat format;
    // No brush is the automatic colour.
    format.setForeground(colour ? QBrush(*colour) : QBrush());
    MergeFormat(format);
}

void CRulerRichEditCtrl::OnBold() {
    const bool all = All(SelectedFormats(*text_), [](const auto& f) { return f.bold; });
    QTextCharFormat format;
    format.setFontWeight(all ? QFont::Normal : QFont::Bold);
    MergeFormat(format);
}

void CRulerRichEditCtrl::OnItalic() {
    const bool all = All(SelectedFormats(*text_), [](const auto& f) { return f.italic; });
    QTextCharFormat format;
    format.setFontItalic(!all);
    MergeFormat(format);
}

void CRulerRichEditCtrl::OnUnderline() {
    const bool all = All(SelectedFormats(*text_), [](const auto& f) { return f.underline; });
    QTextCharFormat format;
    format.setFontUnderline(!all);
    MergeFormat(format);
}

void CRulerRichEditCtrl::OnAlign(Qt::Alignment alignment) {
    // Only a change: the active alignment is not applied again.
    const Qt::Alignment current = text_->alignment() & Qt::AlignHorizontal_Mask;
    const bool active = alignment == Qt::AlignLeft
                            ? !(current & (Qt::AlignHCenter | Qt::AlignRight | Qt::AlignJustify))
                            : (current & alignment) != 0;
    if (!active)
        text_->setAlignment(alignment);
    UpdateToolbar();
    BackToText();
}

void CRulerRichEditCtrl::StepIndent(int direction) {
    QTextCursor cursor = text_->textCursor();
    const QTextDocument& document = *text_->document();
    constexpr int kStop = rtf::kTabStopTwips;
    constexpr int kLastStop = rtf::kTabStopTwips * rtf::kTabStopCount;
    cursor.beginEditBlock();
    for (const QTextBlock& block : SelectedBlocks(cursor)) {
        QTextBlockFormat format = block.blockFormat();
        const int left = LeftIndentTwips(format, document);
        int next = left;
        if (direction > 0 && left < kLastStop)
            next = (left / kStop + 1) * kStop;
        else if (direction < 0 && left > 0)
            next = std::min((left - 1) / kStop * kStop, kLastStop);
        if (next == left)
            continue;
        format.setLeftMargin(next / kTwipsPerPixel);
        format.setIndent(0);
        QTextCursor(block).setBlockFormat(format);
    }
    cursor.endEditBlock();
    UpdateToolbar();
    BackToText();
}

void CRulerRichEditCtrl::OnIndent() {
    StepIndent(+1);
}

void CRulerRichEditCtrl::OnOutdent() {
    StepIndent(-1);
}

void CRulerRichEditCtrl::OnBullets() {
    QTextCursor cursor = text_->textCursor();
    const std::vector<QTextBlock> blocks = SelectedBlocks(cursor);
    const bool all = std::all_of(blocks.begin(), blocks.end(),
                                 [](const QTextBlock& b) { return b.textList() != nullptr; });
    cursor.beginEditBlock();
    if (all) {
        for (const QTextBlock& block : blocks) {
            // Leaving the list keeps the paragraph's own indent (Qt would add the list's).
            const int indent = block.blockFormat().indent();
            block.textList()->remove(block);
            QTextBlockFormat format = block.blockFormat();
            format.setIndent(indent);
            QTextCursor(block).setBlockFormat(format);
        }
    } else {
        QTextListFormat list;
        list.setStyle(QTextListFormat::ListDisc);
        list.setIndent(1);
        QTextCursor selection = cursor;
        for (const QTextBlock& block : blocks) {
            QTextBlockFormat format = block.blockFormat();
            format.setTextIndent(0);  // a bullet hangs by itself
            QTextCursor(block).setBlockFormat(format);
        }
        selection.createList(list);
    }
    cursor.endEditBlock();
    UpdateToolbar();
    BackToText();
}

void CRulerRichEditCtrl::UpdateToolbar() {
    const std::vector<rtf::CharFormat> formats = SelectedFormats(*text_);
    const rtf::CharFormat& first = formats.front();
    auto same = [&](auto get) {
        return std::all_of(formats.begin(), formats.end(),
                           [&](const rtf::CharFormat& f) { return get(f) == get(first); });
    };
    {
        const QSignalBlocker blockName(fontName_);
        const QSignalBlocker blockSize(fontSize_);
        // A selection of several faces or sizes shows none.
        fontName_->setEditText(same([](const auto& f) { return f.font; })
                                   ? QString::fromStdU16String(first.font)
                                   : QString());
        fontSize_->setEditText(same([](const auto& f) { return f.halfPoints; })
                                   ? SizeText(first.halfPoints)
                                   : QString());
        // Long names show from their start.
        fontName_->lineEdit()->setCursorPosition(0);
    }
    const bool sameColour = same([](const auto& f) { return f.color; });
    colour_->SetColour(sameColour && first.color
                           ? std::optional<QColor>(QColor::fromRgb(*first.color))
                           : std::nullopt);
    bold_->setChecked(All(formats, [](const auto& f) { return f.bold; }));
    italic_->setChecked(All(formats, [](const auto& f) { return f.italic; }));
    underline_->setChecked(All(formats, [](const auto& f) { return f.underline; }));

    const Qt::Alignment align = text_->alignment() & Qt::AlignHorizontal_Mask;
    alignCenter_->setChecked(align & Qt::AlignHCenter);
    alignRight_->setChecked(!(align & Qt::AlignHCenter) && (align & Qt::AlignRight));
    alignLeft_->setChecked(!(align & (Qt::AlignHCenter | Qt::AlignRight)));
    bullets_->setChecked(text_->textCursor().currentList() != nullptr);
}
