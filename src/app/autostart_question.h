#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <string>

class CAlarmBoard;
class IAutostart;
namespace zorvel {
class IStateStore;
}

// An alarm clock that is not running rings nothing: the first time an installed copy runs with
// at least one alarm and does not start at login, it asks once whether it should. The question
// blocks nothing, and its answer is kept in the state folder's choices.
class CAutostartQuestion : public QObject {
    Q_OBJECT
public:
    CAutostartQuestion(CAlarmBoard& board, IAutostart* autostart, zorvel::IStateStore& state,
                       bool installedCopy, QObject* parent = nullptr);
    ~CAutostartQuestion() override;
    // The question while it is on screen.
    QMessageBox* box() const { return box_; }

private:
    void Consider();

    CAlarmBoard& board_;
    IAutostart* autostart_;
    zorvel::IStateStore& state_;
    bool done_;
    QPointer<QMessageBox> box_;
};
