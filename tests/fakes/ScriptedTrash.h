#pragma once

#include "models/AppError.h"
#include "models/FileOperationError.h"
#include "platform/TrashBackend.h"

#include <QStringList>

#include <mutex>
#include <optional>

// A trash that refuses with the error the test gives, or stands in for the real one by
// keeping nothing: it records what it was asked to trash and restore. Called on the file
// actions' worker thread.
class ScriptedTrash final : public TrashBackend
{
public:
    explicit ScriptedTrash(std::optional<AppError> refusal = std::nullopt)
        : m_refusal(std::move(refusal))
    {
    }

    Trashed moveToTrash(const QString& path) override
    {
        const std::lock_guard lock(m_mutex);
        m_trashed.append(path);
        if (m_refusal)
            throw FileOperationError(*m_refusal);
        return {QStringLiteral("/nonexistent-trash/files/") + path.section(QLatin1Char('/'), -1),
                {},
                {}};
    }
    Restored restoreFromTrash(const Trashed& trashed, const QString& fallback) override
    {
        const std::lock_guard lock(m_mutex);
        m_restored.append(trashed.path);
        if (m_refusal)
            throw FileOperationError(*m_refusal);
        return {fallback, fallback};
    }

    QStringList trashed() const
    {
        const std::lock_guard lock(m_mutex);
        return m_trashed;
    }

private:
    const std::optional<AppError> m_refusal;
    mutable std::mutex m_mutex;
    QStringList m_trashed;
    QStringList m_restored;
};
