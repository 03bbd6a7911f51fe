#include "widgets/list_page_layout.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWidget>

void LayOutListPage(QWidget* page, QWidget* list, std::initializer_list<QWidget*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QWidget* b : buttons)
        row->addWidget(b);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(list, 1);
    layout->addLayout(row);
}
