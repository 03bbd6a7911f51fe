#pragma once

#include <functional>

#include <QIcon>
#include <QTimer>
#include <ctime>

#include "storage/records.h"

#include "platform/core/clock.h"
#include "widgets/list_page.h"

class CAlarmBoard;
class CSettingsService;
class QLabel;
class QPushButton;
namespace zorvel {
class CStore;
}

// The alarm page: shows the alarm engine's list, adds, edits (double click) and deletes
// alarms. The rows are always rebuilt from the very list the engine tests every second, so
// what the page shows is what may ring.
class CMyClockDlg : public CListPage {
    Q_OBJECT
public:
    CMyClockDlg(CAlarmBoard& alarms, zorvel::CStore& store, CSettingsService& settings,
                const zorvel::Clock& clock, QWidget* parent = nullptr);
    ~CMyClockDlg() override;

    // Rebuilds the rows from the engine's alarm list.
    void FillAlarmList();
    // Has the engine read the alarms from storage again; the rows follow its answer.
    void Refill() override;

    // "添加闹钟".
    void OnAdd() override;

    // "跳过下一次" (again: undone) and "暂停到…" for the alarm of the current row; repeating
    // alarms only.
    void OnSkipNext();
    void OnPause();
    // Shows the next rings and the line about unpublished years as of now.
    void UpdateRuleTexts();

    // "导出…" and "导入…": the alarms, notes and memos as an iCalendar file, and back.
    void OnExport();
    void OnImport();
    // Asks for a file to write (`save`, offering `suggested`) or to read; empty when
    // cancelled. The desktop's file dialog unless set (tests).
    using FileChooser = std::function<QString(bool save, const QString& suggested)>;
    void SetFileChooser(FileChooser choose) { chooseFile_ = std::move(choose); }

protected:
    void EditItem(const QString& id) override;
    bool DeleteItem(const QString& id) override;

private:
    void SetUpColumns();
    void ShowContextMenu(const QPoint& at);
    // The alarm of the current row, if the row still stands for one.
    const AlarmClockRecord* CurrentAlarm() const;
    QString RemarkText(const AlarmClockRecord& alarm, std::time_t now) const;

    QLabel* ruleNoteLabel_;
    QPushButton* skipButton_;
    QPushButton* pauseButton_;
    QTimer ruleTimer_;
    FileChooser chooseFile_;
    CAlarmBoard& alarms_;
    bool refillAsked_ = false;  // a failed reading is shown when this page asked for it
    zorvel::CStore& store_;
    const zorvel::Clock& clock_;
    QIcon expiredImage;
    QIcon activeImage;
};
