#pragma once

#include <initializer_list>

class QWidget;

// The layout the list pages share: the list filling the page, its buttons in a row below it
// on the right.
void LayOutListPage(QWidget* page, QWidget* list, std::initializer_list<QWidget*> buttons);
