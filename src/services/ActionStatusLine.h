#pragma once

#include "models/StatusLine.h"

#include <QObject>
#include <QString>

#include <optional>

class ActionJobQueue;
class MonotonicClock;

// The triage window's status line for the actions. In order: while quitting, that quitting
// cancels the running action; an action that stopped answering; else the latest outcome while
// it lasts (errors longer than the rest, or until the next action clears it); else an action
// that runs past its watchdog, with its progress and how many wait behind it.
class ActionStatusLine : public QObject
{
    Q_OBJECT
public:
    ActionStatusLine(const ActionJobQueue& jobs, const MonotonicClock& clock, int infoMs,
                     int errorMs, QObject* parent = nullptr);

    void setDurations(int infoMs, int errorMs);
    // Shows an outcome for its duration.
    void show(const QString& text, StatusLine::Kind kind);
    void clear();
    void setQuitPending(bool pending);
    bool isQuitPending() const { return m_quitPending; }
    // The outcome shown now, while it lasts.
    std::optional<StatusLine> outcome() const { return m_outcome; }
    // What the line says now.
    std::optional<StatusLine> current() const;

signals:
    void changed();

private:
    const ActionJobQueue& m_jobs;
    const MonotonicClock& m_clock;
    int m_infoMs;
    int m_errorMs;
    std::optional<StatusLine> m_outcome;
    quint64 m_serial = 0; // of the outcome shown; an older one's expiry does nothing
    bool m_quitPending = false;
};
