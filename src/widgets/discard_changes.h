#pragma once

class QWidget;

namespace zorvel {

// Asks "是否放弃修改？" (captioned "Zorvel", 否 the default and the answer to Escape) before an
// editor that holds changes is closed. True when the user chose 是. The question is modal to
// `parent`'s window only: a ring window that opens meanwhile still takes its snooze and close.
bool ConfirmDiscardChanges(QWidget* parent);

}  // namespace zorvel
