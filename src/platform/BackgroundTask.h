#pragma once

#include "platform/ThreadHandoff.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

// The one way work leaves the calling thread: a function run on a thread pool, its result
// brought back to the calling thread's event loop.
//
//     BackgroundTask::run(pool, [path] { return listFolder(path); }, this,
//                         [this](QList<Entry> entries) { show(entries); },
//                         [this](const QString& why) { showFailure(why); });
//
// onResult runs on the thread that called run(), only while context still exists: a result
// whose context was destroyed meanwhile is dropped. Work that throws reaches onFailure there
// instead, with the exception's message; without onFailure it is written to the Qt log.
// Everything the caller did before run() happens before the work, and everything the work
// did before returning happens before onResult, also for ThreadSanitizer, which cannot see
// the hand-offs inside Qt's queues: the result travels in a heap delivery made whole before
// each hand-off, and Qt's queued call carries only its address.
class BackgroundTask
{
public:
    using FailureHandler = std::function<void(const QString& message)>;

    // Runs work on pool; nothing comes back. For pools that keep their own state across
    // tasks (one thread, tasks in order) and report through signals of their own.
    static void start(QThreadPool& pool, std::function<void()> work)
    {
        ThreadHandoff::start(pool, std::move(work));
    }

    template <typename Work, typename OnResult>
    static void run(QThreadPool& pool, Work work, QObject* context, OnResult onResult,
                    FailureHandler onFailure = {})
    {
        using Result = std::invoke_result_t<Work&>;
        auto* delivery =
            new TypedDelivery<Result, Work, OnResult>(std::move(work), std::move(onResult));
        delivery->context = context;
        delivery->onFailure = std::move(onFailure);
        dispatch(pool, delivery);
    }

private:
    struct Delivery
    {
        virtual ~Delivery() = default;
        // On the pool's thread: runs the work, keeping its result or its failure.
        virtual void produce() = 0;
        // On the caller's thread, context alive, the work did not fail.
        virtual void deliver() = 0;

        QPointer<QObject> context;
        FailureHandler onFailure;
        QObject* receiver = nullptr;
        std::optional<QString> failure;
    };

    template <typename Result, typename Work, typename OnResult>
    struct TypedDelivery final : Delivery
    {
        TypedDelivery(Work w, OnResult r) : work(std::move(w)), onResult(std::move(r)) {}
        void produce() override
        {
            if constexpr (std::is_void_v<Result>)
                work();
            else
                result.emplace(work());
        }
        void deliver() override
        {
            if constexpr (std::is_void_v<Result>)
                onResult();
            else
                onResult(std::move(*result));
        }

        Work work;
        OnResult onResult;
        std::conditional_t<std::is_void_v<Result>, bool, std::optional<Result>> result{};
    };

    static void dispatch(QThreadPool& pool, Delivery* delivery);
};
