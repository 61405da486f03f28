#pragma once

#include <atomic>

class FileOperationError;

// Lets another thread stop a move onto another file system while it copies. The copy looks
// at the token after every chunk and between entries, and once more just before it removes
// the original: from there on (the point of no return) the move goes to its end and a
// cancel is refused. cancel() and commit() decide the race between them: exactly one wins.
//
// The token of the operation running on a thread is installed there with a Scope; the mover
// reads it from the thread it runs on, so the layers between (the file engine, the trash)
// pass it on without knowing of it.
class CancelToken
{
public:
    // The error code of an operation that stopped because it was cancelled: distinct from
    // every failure, and it always means that nothing changed.
    static constexpr int cancelledCode = 125; // ECANCELED

    CancelToken() = default;
    CancelToken(const CancelToken&) = delete;
    CancelToken& operator=(const CancelToken&) = delete;

    // Asks the operation to stop. False when it is past the point of no return already.
    bool cancel();
    bool isCancelled() const { return m_state.load() == Cancelled; }
    // Marks the point of no return. False when the operation was cancelled first: the caller
    // must then undo what it did and throw cancelled().
    bool commit();
    bool isCommitted() const { return m_state.load() == Committed; }
    // Ready for the next operation of a series (the members of a group action) after one
    // went past its point of no return. A cancel stays: the series stops there.
    void rearm();

    // Throws cancelled() when the token was cancelled.
    void check() const;
    // The error thrown by an operation that was cancelled.
    static FileOperationError cancelled();

    // The token of the operation running on this thread; null when there is none.
    static CancelToken* current();
    class Scope
    {
    public:
        explicit Scope(CancelToken* token);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        CancelToken* m_previous;
    };

private:
    enum State { Running, Cancelled, Committed };
    std::atomic<int> m_state = Running;
};
