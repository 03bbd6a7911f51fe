#pragma once

#include <QIcon>

#include "platform/core/clock.h"
#include "widgets/list_page.h"

class CReminderService;
namespace zorvel {
class CStore;
}

// The alarm page: shows the reminder service's alarm list, adds, edits (double click) and
// deletes alarms. The rows are always rebuilt from the very list the service tests every
// second, so what the page shows is what may ring.
class CMyClockDlg : public CListPage {
    Q_OBJECT
public:
    CMyClockDlg(CReminderService& reminders, zorvel::CStore& store, const zorvel::Clock& clock,
                QWidget* parent = nullptr);
    ~CMyClockDlg() override;

    // Rebuilds the rows from the service's alarm list.
    void FillAlarmList();
    // Reads the alarms from storage again (through the service) and rebuilds the rows.
    void Refill() override;

    // "添加闹钟".
    void OnAdd() override;

protected:
    void EditItem(const QString& id) override;
    bool DeleteItem(const QString& id) override;

private:
    void SetUpColumns();

    CReminderService& reminders_;
    zorvel::CStore& store_;
    const zorvel::Clock& clock_;
    QIcon expiredImage;
    QIcon activeImage;
};
