#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <vector>

class CBrowser_ControlDlg;
class QWidget;

// The browser program's windows, in opening order, each with a number that stays its own. The
// windows pages open for themselves join the list. A window the user closes is destroyed with
// its page (no sound or renderer is left behind); the rest go with the list.
class CBrowserWindowList : public QObject {
    Q_OBJECT
public:
    CBrowserWindowList();
    ~CBrowserWindowList() override;

    // Empty when pages can be shown, otherwise why not.
    static QString Problem();

    // A new window, shown centred and raised, opening `url`.
    CBrowser_ControlDlg* Open(const QUrl& url);
    QList<QWidget*> Windows() const;
    std::vector<std::uint64_t> Numbers() const;
    // 0 for a window that is not in the list.
    std::uint64_t NumberOf(const QWidget* window) const;
    // Closes every window (as the close box would).
    void CloseAll();

signals:
    void WindowsChanged();

private:
    struct Entry {
        QWidget* window;
        std::uint64_t number;
    };

    CBrowser_ControlDlg* NewWindow();
    static void Show(QWidget* window);

    QList<Entry> entries_;
    std::uint64_t lastNumber_ = 0;
};
