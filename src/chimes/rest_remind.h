#pragma once

#include <QDialog>
#include <QImage>
#include <QPointer>
#include <functional>

class CShowRemindDlg;

// The rest reminder: a window over the whole primary screen in the standard window colour
// at 240/255 opacity, with the reminder picture centred on it. Esc on the picture closes
// both; Return closes only the picture, and the dimmed screen then closes on Return or Esc.
// Mouse clicks do nothing. Neither window has a taskbar button.
class CRemindBackgroundDlg : public QDialog {
    Q_OBJECT

public:
    explicit CRemindBackgroundDlg(QWidget* parent = nullptr);
    ~CRemindBackgroundDlg() override;

    // The picture window while it is open, else nullptr.
    CShowRemindDlg* Picture() const { return picture_; }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void RunPicture();

    QPointer<CShowRemindDlg> picture_;
    bool pictureShown_ = false;
};

// The 606 x 257 reminder picture, centred over its background.
class CShowRemindDlg : public QDialog {
    Q_OBJECT

public:
    // The background is not owned; it is closed together with the picture on Esc.
    explicit CShowRemindDlg(CRemindBackgroundDlg* background, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CRemindBackgroundDlg* background_;
    QImage picture_;
};

// The reminder picture: the artwork with its texts, transparent outside the rounded panel.
// Drawn at 606 x 257 logical pixels times the given device pixel ratio.
QImage RenderRestRemindPicture(qreal devicePixelRatio = 1.0);

// --- The calls the rest of the program uses -------------------------------------------------
//
// Shows a rest reminder and returns at once; `onClosed` runs when the user has closed it, and
// the windows delete themselves. Nothing waits meanwhile: the alarms and chimes go on, and a
// ring window above the reminder takes its clicks. Call on the UI thread.
CRemindBackgroundDlg* ShowRestRemind(std::function<void()> onClosed);

// Whether a rest reminder is open, so a caller can avoid stacking another on top of it.
bool RestRemindOpen();
