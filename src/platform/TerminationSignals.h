#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (a desktop session ends programs with SIGTERM at logout;
// closing the terminal that started the program sends SIGHUP) into a Qt signal on the GUI
// thread, so that each quits through the normal path and none cuts a file action short. The
// handler itself only writes one byte to a pipe, which is safe inside a signal handler.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested(int signalNumber);

private:
    QSocketNotifier* m_notifier = nullptr;
};
