#include "tools/about_dlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>
#include <utility>

#include "platform/program_launcher.h"
#include "tools/core/web_addresses.h"
#include "tools/homepage_dlg.h"
#include "tools/open_url.h"

namespace {
QLabel* TextLine(const QString& text, const QString& objectName) {
    auto* label = new QLabel(text);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setAccessibleName(text);
    return label;
}
}  // namespace

CAboutDlg::CAboutDlg(IProgramLauncher* launcher, UrlOpener openUrl, QString programDir,
                     QWidget* parent)
    : QWidget(parent),
      launcher_(launcher),
      openUrl_(std::move(openUrl)),
      programDir_(std::move(programDir)) {
    if (!openUrl_)
        openUrl_ = [this](const QUrl& url) {
            OpenUrlFor(this, nullptr, url);
            return true;
        };
    if (programDir_.isEmpty())
        programDir_ = QCoreApplication::applicationDirPath();

    auto* icon = new QLabel;
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QIcon(QStringLiteral(":/icons/zorvel.svg")).pixmap(64, 64));
    icon->setFixedSize(64, 64);
    icon->setAccessibleName(QStringLiteral("Zorvel"));

    auto* version = TextLine(QStringLiteral("Zorvel 1.0.0.1 版"), QStringLiteral("versionLine"));
    QFont bigger = version->font();
    bigger.setPointSizeF(bigger.pointSizeF() * 1.25);
    bigger.setBold(true);
    version->setFont(bigger);
    auto* what = TextLine(QStringLiteral("桌面闹钟与个人提醒：闹钟、整点报时、便笺、记事、"
                                         "休息提醒和农历，数据加密保存在本机。"),
                          QStringLiteral("descriptionLine"));
    auto* copyright =
        TextLine(QStringLiteral("版权所有 © 2026 Zorvel 开发者"), QStringLiteral("copyrightLine"));
    auto* licence =
        TextLine(QStringLiteral("本程序是自由软件，按 GNU 通用公共许可证第 3 版或更新版本发布"),
                 QStringLiteral("licenceLine"));
    auto* warranty =
        TextLine(QStringLiteral("本程序不提供任何担保。"), QStringLiteral("warrantyLine"));

    updateLink_ = MakeLinkLabel(QStringLiteral("检查更新"), QStringLiteral("updateLink"),
                                [this] { CheckForUpdate(); });
    feedbackLink_ =
        MakeLinkLabel(QStringLiteral("Bug提交/意见建议"), QStringLiteral("feedbackLink"),
                      [this] { openUrl_(QUrl(QString::fromLatin1(zorvel::web::kFeedbackPage))); });
    licenceLink_ =
        MakeLinkLabel(QStringLiteral("许可证全文"), QStringLiteral("licenceLink"),
                      [this] { openUrl_(QUrl(QString::fromLatin1(zorvel::web::kLicencePage))); });

    auto* group = new QGroupBox(QStringLiteral("关于Zorvel"));
    group->setObjectName(QStringLiteral("aboutGroup"));
    auto* text = new QVBoxLayout;
    text->setSpacing(8);
    text->addWidget(version);
    text->addWidget(what);
    text->addWidget(copyright);
    text->addWidget(licence);
    text->addWidget(warranty);
    auto* links = new QHBoxLayout;
    links->setSpacing(24);
    links->addWidget(updateLink_);
    links->addWidget(feedbackLink_);
    links->addWidget(licenceLink_);
    links->addStretch(1);
    text->addSpacing(6);
    text->addLayout(links);
    text->addStretch(1);
    auto* inside = new QHBoxLayout(group);
    inside->setContentsMargins(16, 16, 16, 16);
    inside->setSpacing(16);
    inside->addWidget(icon, 0, Qt::AlignTop);
    inside->addLayout(text, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(group);
    layout->addStretch(1);
}

void CAboutDlg::CheckForUpdate() {
    const QFileInfo updater(QDir(programDir_).filePath(QStringLiteral("updater")));
    if (launcher_ && updater.isFile() && updater.isExecutable()) {
        // Quoted, so a folder with blanks in its name still names one program.
        const QString path = updater.absoluteFilePath();
        QString quoted = path;
        quoted.replace(u'\\', QLatin1String("\\\\")).replace(u'"', QLatin1String("\\\""));
        if (launcher_->StartDetached(u'"' + quoted + u'"'))
            return;
    }
    openUrl_(QUrl(QString::fromLatin1(zorvel::web::kProjectHomePage)));
}
