#pragma once

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

// Runs the work in a forked child that the alarm ends after `seconds`, so that a test of
// something that might block for ever fails instead of hanging.  True when the child finished
// in time and the work returned true.
inline bool finishesInTime(const std::function<bool()>& work, unsigned seconds = 10) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(seconds);
        ::_exit(work() ? 0 : 1);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
