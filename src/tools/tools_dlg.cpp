#include "tools/tools_dlg.h"

#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "nettime/sync_time_dlg.h"
#include "tools/c12sc_dlg.h"
#include "tools/core/tool_buttons.h"
#include "tools/open_url.h"
#include "widgets/window_modal.h"

using zorvel::tools::ToolAction;
using zorvel::tools::ToolButton;

namespace {
QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
}  // namespace

CToolsDlg::CToolsDlg(IClockSetter* clockSetter, UrlOpener openUrl, QWidget* parent,
                     CBrowserWindows* browsers)
    : QWidget(parent),
      clockSetter_(clockSetter),
      openUrl_(std::move(openUrl)),
      ownBrowserWindows_(browsers ? nullptr : std::make_unique<CBrowserWindows>(this)),
      browserWindows_(browsers ? browsers : ownBrowserWindows_.get()) {
    if (!openUrl_)
        openUrl_ = [this](const QUrl& url) {
            OpenUrlFor(this, nullptr, url);
            return true;
        };

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(10);
    int index = 0;
    for (const ToolButton& tool : zorvel::tools::ToolButtons()) {
        auto* button = new QPushButton(Text(tool.caption));
        button->setObjectName(Text(tool.objectName));
        button->setAutoDefault(false);
        button->setMinimumSize(140, 34);
        if (!tool.url.empty())
            button->setToolTip(Text(tool.url));
        connect(button, &QPushButton::clicked, this, [this, &tool] { OnButton(tool); });
        grid->addWidget(button, index / zorvel::tools::kToolColumns,
                        index % zorvel::tools::kToolColumns);
        buttons_.append(button);
        ++index;
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addStretch(1);
    layout->addLayout(grid);
    layout->addStretch(1);
}

CToolsDlg::~CToolsDlg() {
    delete syncTime_.data();
}

CSyncTimeDlg* CToolsDlg::SyncTimeDlg() const {
    return syncTime_.data();
}

void CToolsDlg::OnButton(const ToolButton& button) {
    switch (button.action) {
        case ToolAction::kBuiltInBrowser:
            browserWindows_->Open(QUrl(Text(button.url)));
            break;
        case ToolAction::kDefaultBrowser:
            openUrl_(QUrl(Text(button.url)));
            break;
        case ToolAction::kDoubleHours: {
            C12SCDlg dialog(this);
            zorvel::RunWindowModal(dialog);
            break;
        }
        case ToolAction::kNetworkTime:
            ShowSyncTime();
            break;
    }
}

void CToolsDlg::ShowSyncTime() {
    // One dialog, shown again where it was, instead of a new hidden one for every press. It
    // has no parent window, which would make it a transient one without a taskbar entry; it
    // goes with the page all the same.
    if (!syncTime_)
        syncTime_ = new CSyncTimeDlg(clockSetter_);
    syncTime_->show();
    syncTime_->raise();
    syncTime_->activateWindow();
}
