#pragma once

#include <QString>
#include <QTextLayout>
#include <QWidget>
#include <memory>
#include <vector>

// The text written on a desktop note: plain text wrapped to the width (within the contents
// margins), drawn without a background over the picture, and scrolled by whole lines. Every line
// box is a whole number of pixels high and the first line shown starts at the top, so no part of a
// line above it ever shows.
class CNoteTextView : public QWidget {
    Q_OBJECT
public:
    explicit CNoteTextView(QWidget* parent = nullptr);

    // Shows `text` from its first line.
    void SetText(const QString& text);
    const QString& text() const { return text_; }

    // Lines after wrapping, the first one shown, and how many fit whole.
    int LineCount() const { return static_cast<int>(lines_.size()); }
    int FirstLine() const { return firstLine_; }
    int VisibleLines() const;
    // Scrolls so that `line` is the first one shown, as far as the text goes: the last line
    // goes no higher than the bottom.
    void SetFirstLine(int line);
    int LineHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Layout();

    QString text_;
    std::vector<std::unique_ptr<QTextLayout>> blocks_;  // one per paragraph
    struct LineRef {
        int block;  // the paragraph
        int line;   // the line within it
    };
    std::vector<LineRef> lines_;
    int firstLine_ = 0;
};
