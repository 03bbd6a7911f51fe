#pragma once

#include <QIcon>
#include <QWidget>

class CZorvelListCtrl;
class QPushButton;

// "用户日记": the log of what happened to alarms, with deletion of the selected entries.
// The page fills itself when it is made and registers itself in g_pUserLogsDlg, so the
// alarm editors can have it refilled after they wrote a line.
class CUserLogsDlg : public QWidget {
    Q_OBJECT
public:
    explicit CUserLogsDlg(QWidget* parent = nullptr);
    ~CUserLogsDlg() override;

    // Reads every entry again, in the order they are stored.
    void Refill();
    // Deletes the selected entries, from the last row up.
    void OnDelete();

    CZorvelListCtrl* listCtrl() const { return listCtrl_; }

private:
    CZorvelListCtrl* listCtrl_;
    QPushButton* deleteButton_;
    QIcon logImage_;
};

// The log page while it exists, else null.
extern CUserLogsDlg* g_pUserLogsDlg;
