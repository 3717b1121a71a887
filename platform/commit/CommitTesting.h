#pragma once

// Fault injection for tests of the writers: makes a FileCommit write fail part-way, as a full disk
// would, without needing one, or puts test doubles in place of the commit path's system calls.

#include "platform/commit/CommitDetail.h"

#include <cstddef>

namespace commit::testing {

// The next writes of every FileCommit in the process succeed for `bytes` more bytes in all (a write
// that crosses the limit is cut short there), then fail with `error` until ClearWriteFault().
void InjectWriteFault(std::size_t bytes, int error);
void ClearWriteFault();

// Clears the fault when it goes, so a failing test leaves no fault behind.
class ScopedWriteFault {
public:
    ScopedWriteFault(std::size_t bytes, int error) { InjectWriteFault(bytes, error); }
    ~ScopedWriteFault() { ClearWriteFault(); }
    ScopedWriteFault(const ScopedWriteFault&) = delete;
    ScopedWriteFault& operator=(const ScopedWriteFault&) = delete;
};

// Makes `calls` the commit path's system calls while it lives (the real ones again afterwards).
class ScopedSystemCalls {
public:
    explicit ScopedSystemCalls(detail::SystemCalls& calls) { detail::UseSystemCalls(&calls); }
    ~ScopedSystemCalls() { detail::UseSystemCalls(nullptr); }
    ScopedSystemCalls(const ScopedSystemCalls&) = delete;
    ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;
};

} // namespace commit::testing
