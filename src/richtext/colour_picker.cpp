#include "richtext/colour_picker.h"
#include "widgets/window_modal.h"

#include <QApplication>
#include <QColorDialog>
#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace {

struct NamedColour {
    QRgb rgb;
    const char* name;
};

// The usual forty colours of a word processor's picker, in rows of eight.
constexpr NamedColour kColours[] = {
    {0x000000, "Black"},
    {0x993300, "Brown"},
    {0x333300, "Dark Olive Green"},
    {0x003300, "Dark Green"},
    {0x003366, "Dark Teal"},
    {0x000080, "Dark Blue"},
    {0x333399, "Indigo"},
    {0x333333, "Gray-80%"},
    {0x800000, "Dark Red"},
    {0xFF6600, "Orange"},
    {0x808000, "Dark Yellow"},
    {0x008000, "Green"},
    {0x008080, "Teal"},
    {0x0000FF, "Blue"},
    {0x666699, "Blue-Gray"},
    {0x808080, "Gray-50%"},
    {0xFF0000, "Red"},
    {0xFF9900, "Light Orange"},
    {0x99CC00, "Lime"},
    {0x339966, "Sea Green"},
    {0x33CCCC, "Aqua"},
    {0x3366FF, "Light Blue"},
    {0x800080, "Violet"},
    {0x999999, "Gray-40%"},
    {0xFF00FF, "Pink"},
    {0xFFCC00, "Gold"},
    {0xFFFF00, "Yellow"},
    {0x00FF00, "Bright Green"},
    {0x00FFFF, "Turquoise"},
    {0x00CCFF, "Sky Blue"},
    {0x993366, "Plum"},
    {0xC0C0C0, "Gray-25%"},
    {0xFF99CC, "Rose"},
    {0xFFCC99, "Tan"},
    {0xFFFF99, "Light Yellow"},
    {0xCCFFCC, "Light Green"},
    {0xCCFFFF, "Light Turquoise"},
    {0x99CCFF, "Pale Blue"},
    {0xCC99FF, "Lavender"},
    {0xFFFFFF, "White"},
};

QIcon Swatch(const QColor& colour, int size) {
    // Drawn at the screen's pixel density, so the border stays crisp rather than scaled.
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.setBrush(colour);
    painter.drawRect(0, 0, size - 1, size - 1);
    return QIcon(pixmap);
}

}  // namespace

CColourPicker::CColourPicker(QWidget* parent) : QToolButton(parent) {
    setObjectName(QStringLiteral("colourPicker"));
    setAccessibleName(QStringLiteral("Color"));
    setToolTip(QStringLiteral("Color"));
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setIconSize(QSize(28, 18));
    setAutoRaise(true);
    setFixedWidth(64);
    setFocusPolicy(Qt::NoFocus);

    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("colourPopup"));
    popup_->setTitle(QStringLiteral("Color"));
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    auto* automatic = new QPushButton(QStringLiteral("Automatic"));
    automatic->setObjectName(QStringLiteral("automaticColour"));
    automatic->setFlat(true);
    automatic->setIcon(Swatch(palette().color(QPalette::Text), 14));
    connect(automatic, &QPushButton::clicked, this, [this] { Pick(std::nullopt); });
    layout->addWidget(automatic);

    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    int i = 0;
    for (const NamedColour& c : kColours) {
        const QColor colour = QColor::fromRgb(c.rgb);
        auto* button = new QToolButton;
        button->setObjectName(QStringLiteral("colour_") +
                              colour.name(QColor::HexRgb).mid(1).toUpper());
        button->setAccessibleName(QString::fromLatin1(c.name));
        button->setToolTip(QString::fromLatin1(c.name));
        button->setAutoRaise(true);
        button->setIconSize(QSize(14, 14));
        button->setIcon(Swatch(colour, 14));
        connect(button, &QToolButton::clicked, this, [this, colour] { Pick(colour); });
        grid->addWidget(button, i / 8, i % 8);
        ++i;
    }
    layout->addLayout(grid);

    auto* more = new QPushButton(QStringLiteral("More Colours..."));
    more->setObjectName(QStringLiteral("moreColours"));
    more->setFlat(true);
    connect(more, &QPushButton::clicked, this, [this] {
        popup_->close();
        ChooseMoreColours();
    });
    layout->addWidget(more);

    auto* action = new QWidgetAction(popup_);
    action->setDefaultWidget(panel);
    popup_->addAction(action);
    setMenu(popup_);
    UpdateIcon();
}

void CColourPicker::SetColour(const std::optional<QColor>& colour) {
    if (colour_ == colour)
        return;
    colour_ = colour;
    UpdateIcon();
}

void CColourPicker::Pick(const std::optional<QColor>& colour) {
    popup_->close();
    SetColour(colour);
    emit ColourPicked(colour);
}

void CColourPicker::ChooseMoreColours() {
    QColorDialog dlg(colour_.value_or(palette().color(QPalette::Text)), window());
    dlg.setObjectName(QStringLiteral("moreColoursDialog"));
    if (zorvel::RunWindowModal(dlg) == QDialog::Accepted && dlg.selectedColor().isValid())
        Pick(dlg.selectedColor());
}

void CColourPicker::UpdateIcon() {
    // A letter A over a bar of the current colour.
    const QSize size(28, 18);
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = this->font();
    font.setBold(true);
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(QRect(0, 0, size.width(), 14), Qt::AlignCenter, QStringLiteral("A"));
    const QRect bar(4, 14, size.width() - 8, 4);
    painter.fillRect(bar, colour_.value_or(palette().color(QPalette::Text)));
    painter.end();
    setIcon(QIcon(pixmap));
}
