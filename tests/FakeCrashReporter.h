#pragma once

#include "crashreporting/CrashReporter.h"

#include <QList>
#include <QPair>

#include <mutex>
#include <optional>

// Records the custom values and the collection flag that a service hands the reporter.
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
    void recordError(const AppError&) override {}
    void log(const QString&) override {}

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
    }

private:
    mutable std::mutex m_mutex;
    QList<QPair<QString, QVariant>> m_values;
    std::optional<bool> m_collectionEnabled;
};
