#pragma once

#include "services/FileExecutionEngine.h"

#include <atomic>
#include <chrono>
#include <thread>

// The real file engine, except that its moves can be held back (holdMoves), to look at what
// the program does while an action is in flight.
class GatedEngine : public FileExecutionEngine
{
public:
    using FileExecutionEngine::FileExecutionEngine;
    QUrl move(const TriageItem& item, const QUrl& folder) override
    {
        while (holdMoves.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return FileExecutionEngine::move(item, folder);
    }
    std::atomic<bool> holdMoves = false;
};
