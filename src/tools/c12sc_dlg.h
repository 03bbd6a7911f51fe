#pragma once

#include <QDialog>

class QLabel;

// "十二时辰": the twelve double hours of the traditional day and what each is called. Both
// buttons just close it.
class C12SCDlg : public QDialog {
    Q_OBJECT
public:
    explicit C12SCDlg(QWidget* parent = nullptr);

    // The table as plain text, twelve lines.
    QString TableText() const;

private:
    QString text_;
    QLabel* table_;
};
