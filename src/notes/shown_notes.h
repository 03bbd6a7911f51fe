#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <map>
#include <string>
#include <utility>

#include "platform/core/clock.h"

class CChangeNotifier;
class CEditNoteDlg;
class CNoteBackgroundDlg;
namespace zorvel {
class CDesktopShell;
class CStore;
}  // namespace zorvel

// The notes on the desktop: one window per note shown, by note id. The application context
// owns it, so the notes are shown, edited and deleted from the desktop whether or not the main
// window and its notes page exist. It owns the windows: a note taken off the desktop or
// deleted loses its window at once. It follows every change to the stored notes, whoever made
// it: a new note comes onto the desktop, an edited one shows its new text (and comes back if it
// was closed), a deleted one goes.
class CShownNotes : public QObject {
    Q_OBJECT
public:
    // All four must outlive the registry; without a shell the notes use the primary screen
    // as Qt sees it and move themselves when dragged.
    CShownNotes(zorvel::CStore& store, const zorvel::Clock& clock, zorvel::CDesktopShell* shell,
                CChangeNotifier& notifier);
    ~CShownNotes() override;

    // Start-up: every stored note, in storage order, along the top edge from the right.
    void ShowStoredNotes();
    // Brings the desktop in step with the stored notes (after a change notification).
    void Refresh();
    // Opens the note's window at the first free place of the row and registers it; a note
    // that is shown already only shows `text`.
    CNoteBackgroundDlg* ShowDesktopNote(const QString& id, const QString& text);
    // After an edit: the note's window shows `text`; a note that is not shown (it was closed)
    // is opened again.
    void UpdateDesktopNote(const QString& id, const QString& text);
    // "关闭": the note leaves the desktop until the next start (or its next edit); it stays
    // stored.
    void ForgetDesktopNote(const QString& id);
    // Deletes the note from storage and takes it off the desktop. False when it was not
    // stored (any more); storage errors are raised.
    bool DeleteNoteEverywhere(const QString& id);
    // "编辑" on a desktop note: its editor, beside the other windows rather than modal to one,
    // so nothing else waits for it. A second "编辑" brings the open editor to the front.
    void EditNote(const QString& id);

    // The window of a shown note, or nullptr.
    CNoteBackgroundDlg* Find(const QString& id) const;
    // Note id → window of every note shown, ordered by id.
    const std::map<QString, CNoteBackgroundDlg*>& notes() const { return notes_; }
    // The part of the primary screen that the row of notes may use.
    QRect Area() const;

private:
    zorvel::CStore& store_;
    const zorvel::Clock& clock_;
    zorvel::CDesktopShell* shell_;
    std::map<QString, CNoteBackgroundDlg*> notes_;
    std::map<QString, QPointer<CEditNoteDlg>> editors_;
    // Every stored note as last read (text and ring time, which each edit sets), by id: what
    // changed since is what the desktop must follow.
    std::map<QString, std::pair<std::string, std::string>> known_;
    bool started_ = false;
};
