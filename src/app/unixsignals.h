#pragma once

#include <QObject>

class QSocketNotifier;

/// Turns SIGTERM and SIGINT (log-out, Ctrl+C) into a Qt signal delivered in
/// the event loop, where the program can close its windows properly.
class UnixSignals : public QObject {
    Q_OBJECT
public:
    explicit UnixSignals(QObject *parent = nullptr);
    ~UnixSignals() override;

signals:
    void terminationRequested(int signal);

private:
    QSocketNotifier *m_notifier = nullptr;
};
