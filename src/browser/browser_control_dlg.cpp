#include "browser/browser_control_dlg.h"

#include <QBoxLayout>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QShortcut>
#include <QStatusBar>
#include <QSvgRenderer>
#include <QToolButton>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "browser/progress_anim.h"
#include "browser/typed_address.h"
#include "tools/core/web_addresses.h"

namespace {

constexpr int kButtonPicture = 22;
constexpr int kLogoPicture = 26;
constexpr int kMargin = 8;
constexpr int kSpacing = 6;

QPixmap Picture(const QString& path, int side, qreal ratio) {
    QPixmap pixmap(QSize(side, side) * ratio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(path);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

QIcon SvgIcon(const QString& path, int side) {
    QIcon icon;
    for (qreal ratio : {1.0, 2.0})
        icon.addPixmap(Picture(path, side, ratio));
    return icon;
}

}  // namespace

// A page that asks for a window of its own (a link with target=_blank, window.open) gets a new
// browser window of the program's, listed with the others.
class CBrowserView : public QWebEngineView {
public:
    CBrowserView(CBrowser_ControlDlg::NewWindow newWindow, QWidget* parent)
        : QWebEngineView(parent), newWindow_(std::move(newWindow)) {}

protected:
    QWebEngineView* createWindow(QWebEnginePage::WebWindowType) override {
        CBrowser_ControlDlg* window = newWindow_ ? newWindow_() : nullptr;
        return window ? window->View() : nullptr;
    }

private:
    CBrowser_ControlDlg::NewWindow newWindow_;
};

CBrowser_ControlDlg::CBrowser_ControlDlg(NewWindow newWindow) : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("browserWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("浏览器"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    const QString logo = QStringLiteral(":/browser/globe.svg");
    setWindowIcon(SvgIcon(logo, 32));
    setMinimumSize(kMinWidth, kMinHeight);
    resize(1024, 720);

    auto* logoLabel = new QLabel;
    logoLabel->setObjectName(QStringLiteral("browserIcon"));
    logoLabel->setAccessibleName(QStringLiteral("浏览器图标"));
    logoLabel->setPixmap(Picture(logo, kLogoPicture, devicePixelRatioF()));
    logoLabel->setFixedSize(kLogoPicture, kLogoPicture);

    addressEdit_ = new QLineEdit;
    addressEdit_->setObjectName(QStringLiteral("addressEdit"));
    addressEdit_->setAccessibleName(QStringLiteral("地址"));
    addressEdit_->setPlaceholderText(QStringLiteral("输入网址后按回车"));
    addressEdit_->setMinimumHeight(30);
    connect(addressEdit_, &QLineEdit::returnPressed, this,
            [this] { Navigate(zorvel::browser::TypedAddress(addressEdit_->text())); });

    auto* top = new QHBoxLayout;
    top->setSpacing(kSpacing);
    top->addWidget(logoLabel);
    top->addWidget(addressEdit_, 1);
    backButton_ = AddButton("backButton", QStringLiteral("后退"), QStringLiteral("back"));
    forwardButton_ = AddButton("forwardButton", QStringLiteral("前进"), QStringLiteral("forward"));
    QToolButton* stop = AddButton("stopButton", QStringLiteral("停止"), QStringLiteral("stop"));
    QToolButton* refresh =
        AddButton("refreshButton", QStringLiteral("刷新"), QStringLiteral("refresh"));
    QToolButton* home = AddButton("homeButton", QStringLiteral("主页"), QStringLiteral("home"));
    QToolButton* search =
        AddButton("searchButton", QStringLiteral("搜索"), QStringLiteral("search"));
    for (QToolButton* button : {backButton_, forwardButton_, stop, refresh, home, search})
        top->addWidget(button);

    view_ = new CBrowserView(std::move(newWindow), nullptr);
    view_->setObjectName(QStringLiteral("browserView"));
    view_->setAccessibleName(QStringLiteral("网页"));
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("browserFrame"));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(1, 1, 1, 1);
    frameLayout->addWidget(view_);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    body->setSpacing(kSpacing);
    body->addLayout(top);
    body->addWidget(frame, 1);

    statusLabel_ = new QLabel;
    statusLabel_->setObjectName(QStringLiteral("statusLabel"));
    statusLabel_->setTextFormat(Qt::PlainText);
    statusLabel_->setMinimumWidth(1);
    statusLabel_->setContentsMargins(kSpacing, 0, 0, 0);
    progressAnim_ = new CProgressAnim;
    progressAnim_->setObjectName(QStringLiteral("progressAnim"));
    statusBar_ = new QStatusBar;
    statusBar_->setObjectName(QStringLiteral("statusBar"));
    statusBar_->setAccessibleName(QStringLiteral("状态栏"));
    statusBar_->setMinimumHeight(kStatusBarHeight);
    statusBar_->addWidget(statusLabel_, 1);
    statusBar_->addPermanentWidget(progressAnim_);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addLayout(body, 1);
    outer->addWidget(statusBar_);

    // A button press is a navigation of its own: what was typed and not sent gives way.
    const auto following = [this](void (QWebEngineView::*go)()) {
        return [this, go] {
            addressEdit_->setModified(false);
            // Through a plain pointer: GCC's vptr check of `view_->*go` in a lambda checks the
            // lambda instead of the view, and the sanitized run stops on it.
            QWebEngineView* view = view_;
            (view->*go)();
        };
    };
    connect(backButton_, &QToolButton::clicked, this, following(&QWebEngineView::back));
    connect(forwardButton_, &QToolButton::clicked, this, following(&QWebEngineView::forward));
    connect(stop, &QToolButton::clicked, view_, &QWebEngineView::stop);
    connect(refresh, &QToolButton::clicked, this, following(&QWebEngineView::reload));
    connect(home, &QToolButton::clicked, this,
            [this] { Navigate(QUrl(QString::fromLatin1(zorvel::web::kProjectHomePage))); });
    connect(search, &QToolButton::clicked, this,
            [this] { Navigate(QUrl(QString::fromLatin1(zorvel::web::kSearchStartPage))); });

    connect(view_, &QWebEngineView::loadStarted, this, &CBrowser_ControlDlg::OnLoadStarted);
    connect(view_, &QWebEngineView::loadFinished, this, &CBrowser_ControlDlg::OnLoadFinished);
    connect(view_, &QWebEngineView::urlChanged, this, &CBrowser_ControlDlg::OnUrlChanged);
    connect(view_->page(), &QWebEnginePage::linkHovered, this, &CBrowser_ControlDlg::OnLinkHovered);
    UpdateButtons();

    // Esc closes the window wherever the focus is, the page included.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

CBrowser_ControlDlg::~CBrowser_ControlDlg() {
    // The page goes before the window's other children, so nothing it still signals reaches
    // them half destroyed.
    disconnect(view_, nullptr, this, nullptr);
    disconnect(view_->page(), nullptr, this, nullptr);
    delete view_;
}

QWebEngineView* CBrowser_ControlDlg::View() const {
    return view_;
}

QToolButton* CBrowser_ControlDlg::AddButton(const char* name, const QString& text,
                                            const QString& picture) {
    auto* button = new QToolButton;
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(text);
    button->setAccessibleName(text);
    button->setIcon(SvgIcon(QStringLiteral(":/browser/%1.svg").arg(picture), kButtonPicture));
    button->setIconSize(QSize(kButtonPicture, kButtonPicture));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAutoRaise(true);
    button->setFixedSize(32, 32);
    return button;
}

void CBrowser_ControlDlg::OpenPage(const QUrl& url) {
    Navigate(url);
}

void CBrowser_ControlDlg::Navigate(const QUrl& url) {
    if (!url.isValid())
        return;
    stateText_ = url.toString();
    statusLabel_->setText(stateText_);
    // From here the address field follows the page again.
    addressEdit_->setModified(false);
    view_->setUrl(url);
}

void CBrowser_ControlDlg::OnLoadStarted() {
    stateText_ = QStringLiteral("正在打开网页…");
    statusLabel_->setText(stateText_);
    progressAnim_->Play();
}

void CBrowser_ControlDlg::OnLoadFinished(bool ok) {
    progressAnim_->Rest();
    stateText_ = ok ? QStringLiteral("完成") : QStringLiteral("无法打开网页");
    statusLabel_->setText(stateText_);
    ShowPageAddress();
    UpdateButtons();
}

void CBrowser_ControlDlg::OnUrlChanged(const QUrl&) {
    // Pages restored from the history (back, forward) may report no load at all.
    ShowPageAddress();
    UpdateButtons();
}

void CBrowser_ControlDlg::ShowPageAddress() {
    // An address the user is typing is not wiped out by a page that finishes loading; once
    // the focus has gone elsewhere (a click in the page) the field follows the page again.
    if (addressEdit_->isModified() && focusWidget() == addressEdit_)
        return;
    // An address selected whole, about to be typed over, is selected whole again: what is
    // typed next replaces the new address instead of mixing with it.
    const bool wholeSelected = focusWidget() == addressEdit_ && addressEdit_->hasSelectedText() &&
                               addressEdit_->selectedText() == addressEdit_->text();
    addressEdit_->setModified(false);
    addressEdit_->setText(view_->url().toString());
    if (wholeSelected)
        addressEdit_->selectAll();
    else
        addressEdit_->setCursorPosition(0);
}

void CBrowser_ControlDlg::OnLinkHovered(const QString& url) {
    statusLabel_->setText(url.isEmpty() ? stateText_ : url);
}

void CBrowser_ControlDlg::UpdateButtons() {
    backButton_->setEnabled(view_->history()->canGoBack());
    forwardButton_->setEnabled(view_->history()->canGoForward());
}
