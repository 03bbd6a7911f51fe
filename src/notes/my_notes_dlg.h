#pragma once

#include <QIcon>

#include "platform/core/clock.h"
#include "widgets/list_page.h"

class CChangeNotifier;
class CShownNotes;
namespace zorvel {
class CStore;
}

// The notes page "我的便笺": every stored note with its text, "添加便笺", editing by double
// click and deleting the selected notes, from storage and from the desktop alike. Notes need
// no password.
class CMyNotesDlg : public CListPage {
    Q_OBJECT
public:
    enum Column { kNumber = 0, kContent = 1, kOnDesktop = 2, kId = 3 };

    CMyNotesDlg(zorvel::CStore& store, CChangeNotifier& notifier, CShownNotes& shownNotes,
                const zorvel::Clock& clock, QWidget* parent = nullptr);
    ~CMyNotesDlg() override;

    // Rebuilds the rows from storage, in storage order.
    void FillNoteList();
    void Refill() override { FillNoteList(); }

    // "添加便笺".
    void OnAdd() override;

protected:
    void EditItem(const QString& id) override;
    bool DeleteItem(const QString& id) override;

private:
    zorvel::CStore& store_;
    CShownNotes& shownNotes_;
    const zorvel::Clock& clock_;
    QIcon noteImage;
};
