#include "app/today_panel.h"

#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

#include "alarms/core/scheduler.h"
#include "calendar/holiday_schedule.h"
#include "calendar/today_texts.h"

namespace {
constexpr int kPictureWidth = 172;
constexpr int kPictureHeight = 156;
constexpr int kPictureTop = 4;
const char* const kWeekdays[] = {"星期天", "星期一", "星期二", "星期三",
                                 "星期四", "星期五", "星期六"};
}  // namespace

CTodayPanel::CTodayPanel(QWidget* parent)
    : QWidget(parent), picture_(QStringLiteral(":/main/today.svg")) {
    setObjectName("todayPanel");
    setFixedWidth(kPictureWidth + 4);
    auto* layout = new QVBoxLayout(this);
    // Seven lines below the picture fill the fixed height of the main window.
    layout->setContentsMargins(2, kPictureTop + kPictureHeight + 6, 2, 0);
    layout->setSpacing(4);
    clockLine_ = MakeLine("clockLine", QStringLiteral("当前时间"));
    lunarDateLine_ = MakeLine("lunarDateLine", QStringLiteral("农历"));
    solarTermLine_ = MakeLine("solarTermLine", QStringLiteral("节气"));
    springFestivalLine_ = MakeLine("springFestivalLine", QStringLiteral("春节"));
    pillarsLine_ = MakeLine("pillarsLine", QStringLiteral("四柱"));
    greetingLine_ = MakeLine("greetingLine", QStringLiteral("星期"));
    dayStatusLine_ = MakeLine("dayStatusLine", QStringLiteral("今天上班还是休息"));
    for (QLineEdit* line : {clockLine_, lunarDateLine_, solarTermLine_, springFestivalLine_,
                            pillarsLine_, greetingLine_, dayStatusLine_})
        layout->addWidget(line);
    layout->addStretch();
}

QLineEdit* CTodayPanel::MakeLine(const char* objectName, const QString& accessibleName) {
    auto* line = new QLineEdit(this);
    line->setObjectName(objectName);
    // The caption describes the field; its name is what it shows, as a label's would be.
    line->setAccessibleName(accessibleName);
    line->setAccessibleDescription(accessibleName);
    line->setReadOnly(true);
    line->setFocusPolicy(Qt::NoFocus);
    line->setAlignment(Qt::AlignCenter);
    line->setFixedHeight(22);
    line->setStyleSheet(
        "QLineEdit { background: palette(window); border: 1px solid palette(mid);"
        " border-radius: 3px; color: palette(window-text); padding: 0 2px; }");
    return line;
}

QLineEdit* CTodayPanel::Line(int controlId) const {
    switch (controlId) {
        case 1000:
            return clockLine_;
        case 1001:
            return lunarDateLine_;
        case 1002:
            return solarTermLine_;
        case 1003:
            return springFestivalLine_;
        case 1004:
            return pillarsLine_;
        case 1006:
            return greetingLine_;
        case 1007:
            return dayStatusLine_;
        default:
            return nullptr;
    }
}

void CTodayPanel::Refresh(std::time_t now, bool withClockLine) {
    pendingNow_ = now;
    pending_ = true;
    clockLinePending_ = clockLinePending_ || withClockLine;
    if (isVisible())
        Apply();
}

void CTodayPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (pending_)
        Apply();
}

void CTodayPanel::SetLine(QLineEdit* line, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    line->setText(shown);
    line->setAccessibleName(shown.isEmpty() ? line->accessibleDescription() : shown);
}

void CTodayPanel::Apply() {
    pending_ = false;
    std::time_t now = pendingNow_;
    if (clockLinePending_) {
        SetLine(clockLine_, zorvel::ClockLineText(now));
        clockLinePending_ = false;
    }
    zorvel::TodayRefresh::What what = refresh_.Check(now);
    const std::uint64_t schedule = zorvel::HolidayScheduleGeneration();
    if (schedule != shownSchedule_) {
        shownSchedule_ = schedule;
        what = zorvel::TodayRefresh::kAll;
    }
    if (what == zorvel::TodayRefresh::kNothing)
        return;
    std::tm tm{};
    localtime_r(&now, &tm);
    zorvel::TodayTexts texts = zorvel::ComputeTodayTexts(
        tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    SetLine(pillarsLine_, texts.pillars);
    if (what == zorvel::TodayRefresh::kAll) {
        SetLine(greetingLine_, texts.greeting);
        SetLine(lunarDateLine_, texts.lunarDate);
        SetLine(solarTermLine_, texts.solarTerm);
        SetLine(springFestivalLine_, texts.springFestival);
        SetLine(dayStatusLine_, texts.dayStatus);
        shownDate_ = QDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
        update();
    }
}

void CTodayPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF pic(2, kPictureTop, kPictureWidth, kPictureHeight);
    picture_.render(&p, pic);
    if (!shownDate_.isValid())
        return;
    // The header band and the page of the desk calendar, as drawn in the picture.
    QRectF header(pic.left() + 6, pic.top() + 24, 160, 28);
    QRectF page(pic.left() + 6, pic.top() + 52, 160, 92);
    QFont f = font();
    f.setBold(true);
    f.setPixelSize(15);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(header, Qt::AlignCenter,
               QStringLiteral("%1年%2月").arg(shownDate_.year()).arg(shownDate_.month()));
    f.setPixelSize(50);
    p.setFont(f);
    p.setPen(QColor(0x26, 0x2a, 0x31));
    p.drawText(page.adjusted(0, 2, 0, -26), Qt::AlignCenter, QString::number(shownDate_.day()));
    f.setBold(false);
    f.setPixelSize(14);
    p.setFont(f);
    p.setPen(QColor(0x6b, 0x70, 0x78));
    p.drawText(page.adjusted(0, 62, 0, -6), Qt::AlignCenter,
               QString::fromUtf8(kWeekdays[shownDate_.dayOfWeek() % 7]));
}
