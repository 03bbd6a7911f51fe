#include "notes/note_text_view.h"

#include <QEvent>
#include <QPainter>
#include <QTextOption>
#include <QtMath>
#include <algorithm>

CNoteTextView::CNoteTextView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

int CNoteTextView::LineHeight() const {
    return std::max(1, qCeil(fontMetrics().height()));
}

int CNoteTextView::VisibleLines() const {
    return std::max(1, contentsRect().height() / LineHeight());
}

void CNoteTextView::SetText(const QString& text) {
    text_ = text;
    firstLine_ = 0;
    Layout();
    update();
}

void CNoteTextView::SetFirstLine(int line) {
    const int last = std::max(0, LineCount() - VisibleLines());
    line = std::clamp(line, 0, last);
    if (line == firstLine_)
        return;
    firstLine_ = line;
    update();
}

void CNoteTextView::Layout() {
    blocks_.clear();
    lines_.clear();
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const int lineHeight = LineHeight();
    int y = 0;
    for (const QString& paragraph : text_.split(QLatin1Char('\n'))) {
        auto layout = std::make_unique<QTextLayout>(paragraph, font());
        layout->setTextOption(option);
        layout->beginLayout();
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(contentsRect().width());
            line.setPosition(QPointF(0, y + (lineHeight - line.height()) / 2));
            y += lineHeight;
            lines_.push_back({static_cast<int>(blocks_.size()), line.lineNumber()});
        }
        layout->endLayout();
        blocks_.push_back(std::move(layout));
    }
    SetFirstLine(firstLine_);
}

void CNoteTextView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const int lineHeight = LineHeight();
    const QRect box = contentsRect();
    const QPointF origin(box.left(), box.top() - firstLine_ * lineHeight);
    // Whole lines only, each within its own box.
    const int end = std::min(LineCount(), firstLine_ + VisibleLines());
    for (int i = firstLine_; i < end; ++i) {
        painter.setClipRect(
            QRect(box.left(), box.top() + (i - firstLine_) * lineHeight, box.width(), lineHeight));
        blocks_[lines_[i].block]->lineAt(lines_[i].line).draw(&painter, origin);
    }
}

void CNoteTextView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout();
}

void CNoteTextView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        Layout();
}
