#pragma once

#include <QMutex>
#include <QStringList>

#include <functional>

// Collects "LEVEL message" lines from a service's log seam; safe from any thread.
class LogRecorder
{
public:
    std::function<void(const QString&, const QString&)> sink()
    {
        return [this](const QString& level, const QString& message) {
            QMutexLocker lock(&m_mutex);
            m_lines.append(level + QLatin1Char(' ') + message);
        };
    }
    QStringList lines() const
    {
        QMutexLocker lock(&m_mutex);
        return m_lines;
    }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_lines.clear();
    }

private:
    mutable QMutex m_mutex;
    QStringList m_lines;
};
