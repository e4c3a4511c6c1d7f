#include "process_end.h"

#include <cstdio>
#include <mutex>
#include <unistd.h>

namespace tarvik {

namespace {

std::mutex mutex;
ProcessEnder installed;

} // namespace

ProcessEnder setProcessEnder(ProcessEnder ender)
{
    std::lock_guard lock(mutex);
    std::swap(installed, ender);
    return ender;
}

void endProcess(int exitCode)
{
    ProcessEnder ender;
    {
        std::lock_guard lock(mutex);
        ender = installed;
    }
    if (ender) {
        ender(exitCode);
        return;
    }
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(exitCode);
}

} // namespace tarvik
