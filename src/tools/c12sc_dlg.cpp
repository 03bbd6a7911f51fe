#include "tools/c12sc_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "calendar/double_hours.h"

C12SCDlg::C12SCDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("doubleHoursDlg"));
    setWindowTitle(QStringLiteral("十二时辰"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    const std::string_view text = zorvel::DoubleHourTableText();
    text_ = QString::fromUtf8(text.data(), qsizetype(text.size()));
    // A row per double hour: a wrapped line continues under the text, not under the name.
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">");
    for (const QString& line : text_.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype split = line.indexOf(u'】') + 1;
        html += QStringLiteral("<tr><td style=\"white-space: nowrap;\">%1</td><td>%2</td></tr>")
                    .arg(line.left(split).toHtmlEscaped(), line.mid(split).toHtmlEscaped());
    }
    html += QStringLiteral("</table>");
    table_ = new QLabel(html);
    table_->setObjectName(QStringLiteral("doubleHoursTable"));
    table_->setTextFormat(Qt::RichText);
    table_->setWordWrap(true);
    table_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    table_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    table_->setAccessibleName(QStringLiteral("十二时辰"));
    table_->setAccessibleDescription(text_);

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
    // Wide enough that most lines fit on one row; the long ones wrap.
    table_->setMinimumWidth(560);
}

QString C12SCDlg::TableText() const {
    return text_;
}
