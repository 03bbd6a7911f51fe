#pragma once

#include <QDialog>

class QTableWidget;

// "十二时辰": the twelve double hours of the traditional day and what each is called, a row
// each, which a screen reader walks as a table. Both buttons just close it.
class C12SCDlg : public QDialog {
    Q_OBJECT
public:
    explicit C12SCDlg(QWidget* parent = nullptr);

    // The table as plain text, twelve lines.
    QString TableText() const;
    QTableWidget* Table() const { return table_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The text column fills the width, and every row is as tall as its wrapped text.
    void FitRows();

    QString text_;
    QTableWidget* table_;
};
