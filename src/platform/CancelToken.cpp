#include "platform/CancelToken.h"

#include "models/FileOperationError.h"

#include <cerrno>

static_assert(CancelToken::cancelledCode == ECANCELED);

namespace {

thread_local CancelToken* t_current = nullptr;

} // namespace

bool CancelToken::cancel()
{
    int expected = Running;
    return m_state.compare_exchange_strong(expected, Cancelled) || expected == Cancelled;
}

bool CancelToken::commit()
{
    int expected = Running;
    return m_state.compare_exchange_strong(expected, Committed) || expected == Committed;
}

void CancelToken::rearm()
{
    int expected = Committed;
    m_state.compare_exchange_strong(expected, Running);
}

void CancelToken::check() const
{
    if (isCancelled())
        throw cancelled();
}

FileOperationError CancelToken::cancelled()
{
    return FileOperationError(AppError{QStringLiteral("com.stowbird.fileengine"), cancelledCode,
                                       QStringLiteral("The move was cancelled; nothing was "
                                                      "changed.")});
}

CancelToken* CancelToken::current()
{
    return t_current;
}

CancelToken::Scope::Scope(CancelToken* token) : m_previous(t_current)
{
    t_current = token;
}

CancelToken::Scope::~Scope()
{
    t_current = m_previous;
}
