#pragma once

#include <QIcon>

#include "widgets/list_page.h"

class CChangeNotifier;
class CClockManager;

// "用户日记": the log of what happened to alarms, with deletion of the selected entries.
// It fills itself when it is made and again whenever a log line is written or deleted.
class CUserLogsDlg : public CListPage {
    Q_OBJECT
public:
    CUserLogsDlg(CClockManager& manager, CChangeNotifier& notifier, QWidget* parent = nullptr);
    ~CUserLogsDlg() override;

    // Reads every entry again, in the order they are stored.
    void Refill() override;

protected:
    bool DeleteItem(const QString& id) override;

private:
    CClockManager& manager_;
    QIcon logImage_;
};
