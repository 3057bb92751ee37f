#pragma once

#include <QFile>
#include <QString>
#include <cstdio>
#include <functional>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

// Bind mounts for tests: `body` runs in a child process that has a mount namespace of its own,
// in which `source` is bind-mounted on `target` (an existing folder), so nothing outside the
// child ever sees the mount.  The child's exit code comes back (0 for success: `body` returns
// it); kCannotMount when the machine does not let this process make mounts (no privilege), and
// the caller then skips.
constexpr int kCannotMount = 77;

inline int inBindMount(const QString& source, const QString& target,
                       const std::function<int()>& body) {
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(target);
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return kCannotMount;
    if (pid == 0) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(from.constData(), to.constData(), nullptr, MS_BIND, nullptr) != 0)
            ::_exit(kCannotMount);
        const int code = body();
        std::fflush(nullptr);
        ::_exit(code);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Inside the child: a failed check prints where and gives a non-zero exit code.
#define CHILD_CHECK(condition)                                                                     \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            return 1;                                                                              \
        }                                                                                          \
    } while (0)
