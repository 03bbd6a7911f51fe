#pragma once

#include <QIcon>

#include "widgets/list_page.h"

class CChangeNotifier;
class CClockManager;
class CSettingsService;

// "我的记事": the memos by their plain text, with "添加事件", editing by double click and
// deletion of the selected memos. While the password protection is on, the rows hide the
// texts and editing and deleting ask for the password first. The page fills itself when it
// is made, whenever memos are written, and when the protection is switched.
class CMyEventsDlg : public CListPage {
    Q_OBJECT
public:
    CMyEventsDlg(CClockManager& manager, CChangeNotifier& notifier, CSettingsService& settings,
                 QWidget* parent = nullptr);
    ~CMyEventsDlg() override;

    // Rebuilds every row from storage, in the order the memos are stored.
    void FillEventList();
    void Refill() override { FillEventList(); }

    // "添加事件".
    void OnAdd() override;

    // What a row shows of a memo: its first line that shows, cut to kMaxRowChars
    // characters (the column shows less). A row drawn with all of a long memo's text would
    // stop the window for seconds at every click, key and hover.
    static QString RowText(const QString& plainText);
    static constexpr qsizetype kMaxRowChars = 200;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void EditItem(const QString& id) override;
    bool DeleteItem(const QString& id) override;

private:
    void OnSettingsChanged();

    CClockManager& manager_;
    CSettingsService& settings_;
    QIcon eventImage_;
    bool textsHidden_ = false;  // the rows show "[内容已经隐藏...]"
};
