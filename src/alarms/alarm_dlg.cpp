#include "alarms/alarm_dlg.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "alarms/core/ring_plan.h"
#include "storage/text_codec.h"
#include "widgets/stored_text.h"

using namespace zorvel;

CAlarmDlg* OpenRingWindow(const RingSnapshot& ring, int cascade) {
    auto* dlg = new CAlarmDlg(ring);
    dlg->ShowOnTop(cascade);
    return dlg;
}

CAlarmDlg::CAlarmDlg(const RingSnapshot& ring, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint |
                          Qt::WindowTitleHint),
      ring_(ring) {
    setObjectName("alarmDlg");
    setWindowTitle(QStringLiteral("设定时间到了"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* timeCaption = new QLabel(QStringLiteral("时间："));
    auto* contentCaption = new QLabel(QStringLiteral("事件："));
    timeLabel_ = new QLabel;
    timeLabel_->setObjectName("alarmTimeLabel");
    // A screen reader reads what the label shows; the caption only describes it.
    timeLabel_->setAccessibleDescription(QStringLiteral("时间"));
    timeLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    contentLabel_ = new QLabel;
    contentLabel_->setObjectName("alarmContentLabel");
    contentLabel_->setAccessibleDescription(QStringLiteral("事件"));
    contentLabel_->setWordWrap(true);
    contentLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    contentLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A long text scrolls inside the window instead of growing it past the screen.
    contentArea_ = new QScrollArea;
    contentArea_->setObjectName("alarmContentArea");
    contentArea_->setWidget(contentLabel_);
    contentArea_->setWidgetResizable(true);
    contentArea_->setFrameShape(QFrame::NoFrame);
    contentArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    contentArea_->setMaximumHeight(160);
    contentArea_->viewport()->setAutoFillBackground(false);
    contentLabel_->setAutoFillBackground(false);
    QFont strong = timeLabel_->font();
    strong.setBold(true);
    timeLabel_->setFont(strong);
    songErrorLabel_ = new QLabel;
    songErrorLabel_->setObjectName("songErrorLabel");
    songErrorLabel_->setStyleSheet("color: #b3261e;");
    songErrorLabel_->setWordWrap(true);
    songErrorLabel_->hide();

    auto* texts = new QGridLayout;
    texts->addWidget(timeCaption, 0, 0, Qt::AlignTop);
    texts->addWidget(timeLabel_, 0, 1);
    texts->addWidget(contentCaption, 1, 0, Qt::AlignTop);
    texts->addWidget(contentArea_, 1, 1);
    texts->setColumnStretch(1, 1);
    texts->setHorizontalSpacing(6);
    texts->setVerticalSpacing(8);

    auto* group = new QGroupBox(QStringLiteral("闹钟延迟设置"));
    group->setObjectName("delayGroup");
    hoursCombo_ = new QComboBox;
    hoursCombo_->setObjectName("delayHoursCombo");
    hoursCombo_->setAccessibleName(QStringLiteral("延迟小时"));
    hoursCombo_->setEditable(true);
    minutesCombo_ = new QComboBox;
    minutesCombo_->setObjectName("delayMinutesCombo");
    minutesCombo_->setAccessibleName(QStringLiteral("延迟分钟"));
    minutesCombo_->setEditable(true);
    for (QComboBox* c : {hoursCombo_, minutesCombo_}) {
        c->setMinimumContentsLength(3);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setMaxVisibleItems(12);
    }
    auto* delayRow = new QHBoxLayout(group);
    delayRow->addWidget(hoursCombo_);
    delayRow->addWidget(new QLabel(QStringLiteral("时")));
    delayRow->addSpacing(8);
    delayRow->addWidget(minutesCombo_);
    delayRow->addWidget(new QLabel(QStringLiteral("分 后再响")));
    delayRow->addStretch();

    snoozeButton_ = new QPushButton(QStringLiteral("延迟再响"));
    snoozeButton_->setObjectName("snoozeButton");
    snoozeButton_->setDefault(true);
    snoozeButton_->setAutoDefault(true);
    snoozeButton_->setMinimumHeight(30);
    connect(snoozeButton_, &QPushButton::clicked, this, &CAlarmDlg::accept);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(group, 1);
    bottom->addSpacing(8);
    bottom->addWidget(snoozeButton_, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(10);
    layout->addLayout(texts);
    layout->addWidget(songErrorLabel_);
    layout->addStretch();
    layout->addLayout(bottom);
    setMinimumWidth(474);
    resize(474, 170);

    shakeTimer_.setSingleShot(true);
    shakeTimer_.setInterval(500);
    connect(&shakeTimer_, &QTimer::timeout, this, [this] {
        QPoint p = pos();
        shakePath_ = ShakePath(p.x(), p.y());
        shakeStep_ = 0;
        ShakeStep();
    });
    shakeMoveTimer_.setSingleShot(true);
    shakeMoveTimer_.setTimerType(Qt::PreciseTimer);
    connect(&shakeMoveTimer_, &QTimer::timeout, this, &CAlarmDlg::ShakeStep);

    timeLabel_->setText(FromStoredText(ring_.alarm.alarmTime));
    contentLabel_->setText(FromStoredText(ring_.alarm.content));
    FillDelayCombos();
}

CAlarmDlg::~CAlarmDlg() = default;

void CAlarmDlg::FillDelayCombos() {
    hoursCombo_->clear();
    minutesCombo_->clear();
    for (int h = 0; h <= 23; ++h)
        hoursCombo_->addItem(QString::number(h));
    for (int m = 1; m <= 59; ++m)
        minutesCombo_->addItem(QString::number(m));
    hoursCombo_->setCurrentIndex(0);
    minutesCombo_->setCurrentIndex(0);
}

void CAlarmDlg::ShowOnTop(int cascade) {
    // Exactly as tall as the text needs, up to the limit beyond which it scrolls; the text
    // column is the window's width less the captions and margins.
    layout()->activate();
    const int textWidth = std::max(200, width() - contentArea_->x() - 16);
    const int needed = contentLabel_->heightForWidth(textWidth);
    contentArea_->setFixedHeight(std::clamp(needed, contentLabel_->fontMetrics().height(), 160));
    adjustSize();
    if (QScreen* screen = this->screen()) {
        QRect area = screen->availableGeometry();
        QSize size = frameGeometry().size().expandedTo(this->size());
        const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
        QPoint at = area.center() - QPoint(size.width() / 2, size.height() / 2) +
                    QPoint(cascade * step, cascade * step);
        move(std::min(at.x(), area.right() - size.width()),
             std::min(at.y(), area.bottom() - size.height()));
    }
    show();
    raise();
    activateWindow();
}

void CAlarmDlg::Shake() {
    if (!IsShaking())
        shakeTimer_.start();
}

void CAlarmDlg::ShakeStep() {
    if (shakeStep_ < 0 || shakeStep_ >= static_cast<int>(shakePath_.size())) {
        shakeStep_ = -1;
        return;
    }
    const auto& [x, y] = shakePath_[shakeStep_];
    move(x, y);
    raise();
    // Every ninth position is the way back to the start, which pauses only briefly.
    int pause = (shakeStep_ % 9 == 8) ? 3 : 20;
    ++shakeStep_;
    if (shakeStep_ < static_cast<int>(shakePath_.size()))
        shakeMoveTimer_.start(pause);
    else
        shakeStep_ = -1;
}

void CAlarmDlg::ShowSongError(const QString& text) {
    songErrorLabel_->setText(text);
    songErrorLabel_->show();
}

void CAlarmDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!std::exchange(toldShown_, true))
        emit Shown(ring_.ring);
}

void CAlarmDlg::accept() {
    const int hours = ReadDelayNumber(hoursCombo_->currentText().toStdU16String());
    const int minutes = ReadDelayNumber(minutesCombo_->currentText().toStdU16String());
    if (!std::exchange(answered_, true))
        emit Snoozed(ring_.ring, hours, minutes);
    QDialog::accept();
    close();
}

void CAlarmDlg::closeEvent(QCloseEvent* event) {
    shakeMoveTimer_.stop();
    shakeTimer_.stop();
    if (!std::exchange(answered_, true))
        emit Closed(ring_.ring);
    QDialog::closeEvent(event);
}
