#pragma once

#include <QColor>
#include <QToolButton>
#include <optional>

class QMenu;

// The text-colour picker of the rich-text editor's toolbar: a button showing the current
// colour under a letter, which drops down "Automatic", forty colours and "More Colours...".
// No colour (std::nullopt) is the automatic one: the text colour of the desktop's palette.
class CColourPicker : public QToolButton {
    Q_OBJECT
public:
    explicit CColourPicker(QWidget* parent = nullptr);

    // Shows the colour of the selection; nullopt: automatic, or a selection of several colours
    // shown as automatic.
    void SetColour(const std::optional<QColor>& colour);
    const std::optional<QColor>& colour() const { return colour_; }

    // The popup, for tests: its buttons are named "automaticColour", "moreColours" and
    // "colour_RRGGBB".
    QMenu* popup() const { return popup_; }

    // Opens the platform's colour dialog; a chosen colour is picked as from the popup.
    void ChooseMoreColours();

signals:
    // The user picked a colour (nullopt: "Automatic").
    void ColourPicked(const std::optional<QColor>& colour);

private:
    void Pick(const std::optional<QColor>& colour);
    void UpdateIcon();

    QMenu* popup_;
    std::optional<QColor> colour_;
};
