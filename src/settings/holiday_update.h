#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <string>
#include <vector>

class QNetworkAccessManager;
class QNetworkReply;

// "更新节假日安排": fetches the schedules of some years (HolidayUpdateUrl), checks each answer
// and keeps a valid one as <year>.json in the holiday folder, then makes the schedule with
// every file of the folder the current one. Asynchronous: Finished comes once, when every
// answer is in, refused or timed out. An answer that fails leaves the year's file as it was.
class CHolidayUpdate : public QObject {
    Q_OBJECT
public:
    static constexpr int kTimeoutMs = 10000;

    explicit CHolidayUpdate(std::string folder, QObject* parent = nullptr);
    ~CHolidayUpdate() override;

    // Ignored while a fetch is running.
    void Start(const std::vector<int>& years, int timeoutMs = kTimeoutMs);
    bool IsRunning() const { return pending_ > 0; }

signals:
    // "已更新 2026、2027 年的节假日安排", or which years failed and why; `updated`: at least
    // one year was kept.
    void Finished(const QString& report, bool updated);

private:
    struct Fetch {
        int year = 0;
        QPointer<QNetworkReply> reply;
        QByteArray body;
        QString failure;  // empty: kept
        bool done = false;
        bool timedOut = false;
        bool tooBig = false;
    };
    void Read(std::size_t index);
    void OnReplyFinished(std::size_t index);
    QString Keep(const Fetch& fetch) const;
    void Complete();

    std::string folder_;
    QNetworkAccessManager* network_;
    std::vector<Fetch> fetches_;
    int pending_ = 0;
};

// Reads the holiday folder beside the database at start; a file that fails the check is named
// on stderr and in a warning, and its year keeps the shipped data.
void LoadHolidayFiles(const std::string& databasePath);
