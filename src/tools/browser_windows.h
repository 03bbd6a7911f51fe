#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

class IBrowserPlugin;
class QWidget;

// Opens pages in built-in browser windows and keeps the list of those still open, in opening
// order. Qt WebEngine is loaded with the first window, not before. A window the user closes is
// destroyed with its page (no sound or renderer is left behind); the rest go with this object.
class CBrowserWindows : public QObject {
    Q_OBJECT
public:
    // `owner` is the parent of warnings and chooses the screen windows open on.
    explicit CBrowserWindows(QWidget* owner);
    ~CBrowserWindows() override;

    // A new browser window, shown centred and raised, opening `url`; null (after a warning naming
    // the reason) when the browser cannot be loaded.
    QWidget* Open(const QUrl& url);
    QList<QWidget*> Windows() const { return windows_; }

signals:
    void WindowsChanged();

private:
    IBrowserPlugin* Plugin();
    QWidget* NewWindow();
    void Show(QWidget* window);

    QPointer<QWidget> owner_;
    QList<QWidget*> windows_;
};
