#include "settings/holiday_update.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include "calendar/holiday_files.h"
#include "platform/log_categories.h"
#include "widgets/message_box.h"

CHolidayUpdate::CHolidayUpdate(std::string folder, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), network_(new QNetworkAccessManager(this)) {}

CHolidayUpdate::~CHolidayUpdate() {
    // Replies still open belong to the manager, which goes with this object; none may call
    // back into it meanwhile.
    for (Fetch& f : fetches_)
        if (f.reply)
            f.reply->disconnect(this);
}

void CHolidayUpdate::Start(const std::vector<int>& years, int timeoutMs) {
    if (IsRunning() || years.empty())
        return;
    fetches_.assign(years.size(), Fetch{});
    pending_ = static_cast<int>(years.size());
    for (std::size_t i = 0; i < years.size(); ++i) {
        Fetch& f = fetches_[i];
        f.year = years[i];
        QNetworkRequest request(QUrl(QString::fromStdString(zorvel::HolidayUpdateUrl(f.year))));
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::NoLessSafeRedirectPolicy);
        request.setMaximumRedirectsAllowed(3);
        f.reply = network_->get(request);
        connect(f.reply, &QNetworkReply::readyRead, this, [this, i] { Read(i); });
        connect(f.reply, &QNetworkReply::finished, this, [this, i] { OnReplyFinished(i); });
        // One limit for the whole answer: a server that sends a byte now and then must not
        // keep the button waiting either.
        QTimer::singleShot(timeoutMs, f.reply, [this, i] {
            Fetch& late = fetches_[i];
            if (late.done || !late.reply)
                return;
            late.timedOut = true;
            late.reply->abort();
        });
    }
}

void CHolidayUpdate::Read(std::size_t index) {
    Fetch& f = fetches_[index];
    if (!f.reply || f.tooBig)
        return;
    f.body += f.reply->read(zorvel::kHolidayFileMaxBytes + 1 - f.body.size());
    if (f.body.size() > static_cast<qsizetype>(zorvel::kHolidayFileMaxBytes)) {
        f.tooBig = true;
        f.reply->abort();
    }
}

void CHolidayUpdate::OnReplyFinished(std::size_t index) {
    Fetch& f = fetches_[index];
    if (f.done)
        return;
    f.done = true;
    QNetworkReply* reply = f.reply;
    if (!f.tooBig && !f.timedOut)
        Read(index);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (f.timedOut)
        f.failure = QStringLiteral("%1 秒内没有回应").arg(kTimeoutMs / 1000);
    else if (f.tooBig)
        f.failure =
            QStringLiteral("回答太大（超过 %1 KB）").arg(zorvel::kHolidayFileMaxBytes / 1024);
    else if (status == 404)
        f.failure = QStringLiteral("尚未公布");
    else if (reply->error() != QNetworkReply::NoError)
        f.failure = QStringLiteral("无法取得（%1）").arg(reply->errorString());
    else
        f.failure = Keep(f);
    reply->deleteLater();
    f.reply = nullptr;
    if (--pending_ == 0)
        Complete();
}

QString CHolidayUpdate::Keep(const Fetch& f) const {
    const zorvel::HolidayYearData data =
        zorvel::ParseHolidayYear(std::string_view(f.body.constData(), f.body.size()), f.year);
    if (!data.ok())
        return QStringLiteral("数据有误：") + QString::fromStdString(data.error);
    const QString folder = QString::fromStdString(folder_);
    const QString path = folder + QString::number(f.year) + QStringLiteral(".json");
    // The old file stays whole until the new one is complete on disk.
    QSaveFile file(path);
    if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly) ||
        file.write(f.body) != f.body.size() || !file.commit())
        return QStringLiteral("无法保存到 ") + path;
    return {};
}

void CHolidayUpdate::Complete() {
    QStringList kept;
    QStringList failed;
    for (const Fetch& f : fetches_) {
        if (f.failure.isEmpty())
            kept << QString::number(f.year);
        else
            failed << QStringLiteral("%1 年：%2").arg(f.year).arg(f.failure);
    }
    if (!kept.isEmpty())
        for (const std::string& problem : zorvel::LoadHolidayFolder(folder_))
            qCWarning(lcSettings, "ignored %s", problem.c_str());
    QString report;
    if (!kept.isEmpty())
        report = QStringLiteral("已更新 %1 年的节假日安排").arg(kept.join(QStringLiteral("、")));
    if (!failed.isEmpty()) {
        report += kept.isEmpty() ? QStringLiteral("节假日安排没有更新：")
                                 : QStringLiteral("。\n没有更新：");
        report += QStringLiteral("\n") + failed.join(QStringLiteral("\n"));
    }
    emit Finished(report, !kept.isEmpty());
}

void LoadHolidayFiles(const std::string& databasePath) {
    const std::vector<std::string> problems =
        zorvel::LoadHolidayFolder(zorvel::HolidayFolderFor(databasePath));
    if (problems.empty())
        return;
    QString text = QStringLiteral("以下节假日安排文件有误，已忽略（仍按原有安排）：");
    for (const std::string& problem : problems) {
        qCWarning(lcSettings, "ignored %s", problem.c_str());
        text += QStringLiteral("\n") + QString::fromStdString(problem);
    }
    zorvel::ShowWarning(nullptr, text);
}
