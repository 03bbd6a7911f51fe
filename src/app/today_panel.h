#pragma once

#include <QDate>
#include <QSvgRenderer>
#include <QWidget>
#include <ctime>

#include "app/core/today_refresh.h"

class QLineEdit;

// The picture of the day and its six read-only lines: the clock line, the lunar date, the
// solar term, the next Spring Festival, the four pillars and the weekday greeting.
class CTodayPanel : public QWidget {
    Q_OBJECT
public:
    explicit CTodayPanel(QWidget* parent = nullptr);

    // Fills the lines for the given moment; the date lines and the pillars are computed
    // again only when the date or the double hour has changed since the last call.
    void Refresh(std::time_t now);
    // Writes the clock line (left empty until the first second has passed).
    void SetClockLine(const QString& text);

    QLineEdit* Line(int controlId) const;  // 1000 .. 1004, 1006

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLineEdit* MakeLine(const char* objectName, const QString& accessibleName);

    QSvgRenderer picture_;
    zorvel::TodayRefresh refresh_;
    QDate shownDate_;
    QLineEdit* clockLine_;
    QLineEdit* lunarDateLine_;
    QLineEdit* solarTermLine_;
    QLineEdit* springFestivalLine_;
    QLineEdit* pillarsLine_;
    QLineEdit* greetingLine_;
};
