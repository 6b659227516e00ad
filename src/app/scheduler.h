#pragma once

#include "app/schedulertick.h"

#include <QObject>

class WindowTable;

/// Carries out what the scheduler tick finds due, once a second while the
/// clock is loaded: the scheduled shutdown (at once, or after the warning
/// countdown), the hourly chime pop-up and the alarm pop-up. A pop-up that
/// is open already is left as it is.
class Scheduler : public QObject {
    Q_OBJECT
public:
    Scheduler(WindowTable &table, QObject *parent = nullptr);

public slots:
    void tick(const QDateTime &now);

private:
    void scheduledShutdown(qint16 noPrompt);

    WindowTable &m_table;
    SchedulerTick m_tick;
};
