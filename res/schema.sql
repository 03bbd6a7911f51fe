-- The shipped database: five tables with their column orders, and the one settings row.
-- Record tables are written with positional inserts, so the column order matters.
CREATE TABLE alarmClock (
    id TEXT, alarmTime TEXT, isEveryday INTEGER, isRing INTEGER,
    content TEXT, ring TEXT, ringType INTEGER, addTime TEXT);
CREATE TABLE event (
    id TEXT, content TEXT, content1 TEXT, addTime TEXT, lastUpdateTime TEXT);
CREATE TABLE note (
    id TEXT, content TEXT, isRing INTEGER, ringTime TEXT, isShowOnDesktop INTEGER, addTime TEXT);
CREATE TABLE log (
    id TEXT, content TEXT, logTime TEXT);
CREATE TABLE softSetting (
    BDBS INTEGER, isAutoDelAlarmClock INTEGER, isAutoRun INTEGER, isPwdReq INTEGER,
    ringPlayType INTEGER, ZDBS INTEGER, delPwd TEXT, startupWindow INTEGER,
    isRestRemind INTEGER, restRemindInterval INTEGER);
INSERT INTO softSetting (isAutoRun, ZDBS, BDBS, isAutoDelAlarmClock, isPwdReq, ringPlayType,
                         delPwd, startupWindow, isRestRemind, restRemindInterval)
    VALUES (0, 1, 0, 0, 0, 2, '', 0, 0, 1);
