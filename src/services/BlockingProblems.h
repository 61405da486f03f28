#pragma once

#include "models/WatchProblem.h"

#include <QList>
#include <QObject>
#include <QString>

// The problems that stop Stowbird from doing its job right now (a folder it cannot watch,
// a history or settings file it cannot write), each with what the user can do about it. The
// services' reports raise and clear them; the window and the tray show them while they last.
// GUI thread only.
class BlockingProblems : public QObject
{
    Q_OBJECT
public:
    struct Problem
    {
        QString key;  // what the problem is about: one problem per key
        QString text; // what is wrong, for the user
        QString hint; // what to do about it
        bool operator==(const Problem&) const = default;
    };

    using QObject::QObject;

    // Shows the problem under key, in place of the one it had; changed() only on a change.
    void raise(const QString& key, const QString& text, const QString& hint);
    void clear(const QString& key);
    QList<Problem> problems() const { return m_problems; }
    bool isEmpty() const { return m_problems.isEmpty(); }
    // Every problem with its hint, one a line, oldest first; empty when there are none.
    QString summary() const;

    // The reports of the services, turned into problems in the user's words.
    void noteWatchHealth(const QString& folder, WatchProblem problem, const QString& detail);
    void noteHistory(bool available, const QString& reason);
    // message: what the settings service told of the failed save.
    void noteSettingsSaved(bool saved, const QString& message);

signals:
    void changed();

private:
    QList<Problem> m_problems;
};
