#include "tools/c12sc_dlg.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "calendar/double_hours.h"

C12SCDlg::C12SCDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("doubleHoursDlg"));
    setWindowTitle(QStringLiteral("十二时辰"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    const std::string_view text = zorvel::DoubleHourTableText();
    text_ = QString::fromUtf8(text.data(), qsizetype(text.size()));
    QStringList lines = text_.split(u'\n', Qt::SkipEmptyParts);
    lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });

    // A row per double hour, its name in the first column and what it is called in the second,
    // so a wrapped line continues under the text and a screen reader reads it cell by cell. It
    // looks like the printed table it was: no grid, no frame, the headers only for the reader.
    table_ = new QTableWidget(int(lines.size()), 2);
    table_->setObjectName(QStringLiteral("doubleHoursTable"));
    table_->setAccessibleName(QStringLiteral("十二时辰"));
    table_->setHorizontalHeaderLabels({QStringLiteral("时辰"), QStringLiteral("说明")});
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->setShowGrid(false);
    table_->setWordWrap(true);
    table_->setFrameShape(QFrame::NoFrame);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table_->viewport()->setAutoFillBackground(false);
    table_->setStyleSheet(QStringLiteral("QTableWidget { background: transparent; }"));
    for (int row = 0; row < lines.size(); ++row) {
        const QString& line = lines[row];
        const qsizetype split = line.indexOf(u'】') + 1;
        auto* name = new QTableWidgetItem(line.left(split));
        name->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
        auto* meaning = new QTableWidgetItem(line.mid(split));
        meaning->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
        table_->setItem(row, 0, name);
        table_->setItem(row, 1, meaning);
    }

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setSpacing(12);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    // Wide enough that most lines fit on one row; the long ones wrap. Tall enough for every row
    // at that width, so nothing needs scrolling.
    table_->resizeColumnToContents(0);
    table_->setMinimumWidth(580);
    // The text column fills what the names leave, set here rather than stretched by the header,
    // which does it too late for the rows to wrap to it.
    table_->viewport()->installEventFilter(this);
    FitRows();
    ok->setFocus();
}

bool C12SCDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_->viewport() && event->type() == QEvent::Resize)
        FitRows();
    return QDialog::eventFilter(watched, event);
}

void C12SCDlg::FitRows() {
    const int textWidth = std::max(100, table_->viewport()->width() - table_->columnWidth(0));
    if (table_->columnWidth(1) != textWidth)
        table_->setColumnWidth(1, textWidth);
    table_->resizeRowsToContents();
    const int rows = table_->verticalHeader()->length();
    table_->setMinimumHeight(rows + 2 * table_->frameWidth());
}

QString C12SCDlg::TableText() const {
    return text_;
}
