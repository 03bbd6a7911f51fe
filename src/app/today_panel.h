#pragma once

#include <QDate>
#include <QSvgRenderer>
#include <QWidget>
#include <cstdint>
#include <ctime>
#include <string>

#include "app/core/today_refresh.h"

class QLineEdit;

// The picture of the day and its seven read-only lines: the clock line, the lunar date, the
// solar term, the next Spring Festival, the four pillars, the weekday greeting and the day in
// the official holiday schedule.
class CTodayPanel : public QWidget {
    Q_OBJECT
public:
    explicit CTodayPanel(QWidget* parent = nullptr);

    // Fills the lines for the given moment; the date lines and the pillars are computed
    // again only when the date or the double hour has changed since they were last shown.
    // `withClockLine`: also the clock line, which stays empty until the first second has
    // passed. While the panel is hidden this only remembers the moment, so a hidden main
    // window costs nothing; showing the panel brings it up to date.
    void Refresh(std::time_t now, bool withClockLine = false);

    QLineEdit* Line(int controlId) const;  // 1000 .. 1004, 1006, 1007 (the day's status)

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* MakeLine(const char* objectName, const QString& accessibleName);
    static void SetLine(QLineEdit* line, const std::string& text);

    void Apply();

    QSvgRenderer picture_;
    std::time_t pendingNow_ = 0;
    bool pending_ = false;
    bool clockLinePending_ = false;
    zorvel::TodayRefresh refresh_;
    QDate shownDate_;
    // The holiday schedule the status line was computed from; a new one shows at once.
    std::uint64_t shownSchedule_ = 0;
    QLineEdit* clockLine_;
    QLineEdit* lunarDateLine_;
    QLineEdit* solarTermLine_;
    QLineEdit* springFestivalLine_;
    QLineEdit* pillarsLine_;
    QLineEdit* greetingLine_;
    QLineEdit* dayStatusLine_;
};
