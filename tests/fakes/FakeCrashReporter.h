#pragma once

#include "crashreporting/CrashReporter.h"

#include <QList>
#include <QPair>
#include <QStringList>

#include <mutex>
#include <optional>

// Records what a service hands the crash reporter: custom values, the collection flag,
// non-fatal errors and breadcrumbs. Safe to call from any thread.
class FakeCrashReporter final : public CrashReporter
{
public:
    bool configure(const QString&) override { return true; }
    void setCollectionEnabled(bool enabled) override
    {
        std::lock_guard lock(m_mutex);
        m_collectionEnabled = enabled;
    }
    void setCustomValue(const QString& key, const QVariant& value) override
    {
        std::lock_guard lock(m_mutex);
        m_values.append({key, value});
    }
    void recordError(const AppError& error) override
    {
        std::lock_guard lock(m_mutex);
        m_errors.append(error);
    }
    void log(const QString& breadcrumb) override
    {
        std::lock_guard lock(m_mutex);
        m_breadcrumbs.append(breadcrumb);
    }

    QList<AppError> errors() const
    {
        std::lock_guard lock(m_mutex);
        return m_errors;
    }
    QStringList breadcrumbs() const
    {
        std::lock_guard lock(m_mutex);
        return m_breadcrumbs;
    }

    QList<QPair<QString, QVariant>> values() const
    {
        std::lock_guard lock(m_mutex);
        return m_values;
    }
    QStringList keys() const
    {
        QStringList names;
        for (const auto& entry : values())
            names.append(entry.first);
        return names;
    }
    // The last value set for key.
    std::optional<qint64> value(const QString& key) const
    {
        const auto all = values();
        for (auto it = all.crbegin(); it != all.crend(); ++it) {
            if (it->first == key)
                return it->second.toLongLong();
        }
        return std::nullopt;
    }
    std::optional<bool> collectionEnabled() const
    {
        std::lock_guard lock(m_mutex);
        return m_collectionEnabled;
    }
    void clear()
    {
        std::lock_guard lock(m_mutex);
        m_values.clear();
        m_errors.clear();
        m_breadcrumbs.clear();
    }

private:
    mutable std::mutex m_mutex;
    QList<QPair<QString, QVariant>> m_values;
    std::optional<bool> m_collectionEnabled;
    QList<AppError> m_errors;
    QStringList m_breadcrumbs;
};
