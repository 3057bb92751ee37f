#include "platform/filemapping.h"

#include <csetjmp>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>

namespace platform {

namespace {

// The guarded read running on this thread: where to jump to, and the bytes it may fault on.
struct ReadGuard {
    sigjmp_buf jump;
    const uchar* begin = nullptr;
    const uchar* end = nullptr;
};

thread_local ReadGuard* t_guard = nullptr;

// What handled SIGBUS before the first guarded read.  The handler is installed once for the
// process and stays: installing and restoring it around every read would let one thread's
// restore take it away while another thread's read is still guarded.
struct sigaction g_previous {};
std::once_flag g_installed;

void onBusError(int, siginfo_t* info, void*) {
    const ReadGuard* guard = t_guard;
    const auto* address = static_cast<const uchar*>(info->si_addr);
    if (guard && info->si_code > 0 && address >= guard->begin && address < guard->end)
        siglongjmp(const_cast<ReadGuard*>(guard)->jump, 1);
    // Not a fault of a guarded view: what handled it before, as if no handler were installed.
    // A fault repeats when the handler returns and then reaches it; a signal sent by another
    // process is raised again.
    ::sigaction(SIGBUS, &g_previous, nullptr);
    if (info->si_code <= 0)
        ::raise(SIGBUS);
}

void installHandler() {
    std::call_once(g_installed, [] {
        struct sigaction action {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &g_previous);
    });
}

} // namespace

TFileMapping::TFileMapping(QFile* stream) {
    const int fd = stream ? stream->handle() : -1;
    if (fd < 0)
        throw EFileMappingError("Invalid parameters. Could not create file mapping object");

    // Bytes written through the stream may still sit in its buffer.
    if (stream->isWritable())
        stream->flush();

    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
        quint64(st.st_size) > quint64(SIZE_MAX))
        throw EFileMappingError("Could not create file mapping object");

    const auto length = size_t(st.st_size);
    void* base = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
    if (base == MAP_FAILED)
        throw EFileMappingError("Could not map file");
    // The view is read once from front to back: let the kernel read ahead and drop pages
    // behind.  Only advice, so a refusal changes nothing.
    (void)::madvise(base, length, MADV_SEQUENTIAL);

    m_view = static_cast<const uchar*>(base);
    m_size = qint64(st.st_size);
}

TFileMapping::~TFileMapping() {
    if (m_view)
        ::munmap(const_cast<uchar*>(m_view), size_t(m_size));
}

void TFileMapping::guardedRead(void (*read)(void* context), void* context) const {
    ReadGuard guard;
    guard.begin = m_view;
    guard.end = m_view + m_size;

    installHandler();
    ReadGuard* const outer = t_guard;
    t_guard = &guard;

    // sigsetjmp(..., 1) also brings back the signal mask, in which the handler blocks SIGBUS.
    bool faulted = false;
    if (sigsetjmp(guard.jump, 1) == 0)
        read(context);
    else
        faulted = true;

    t_guard = outer;
    if (faulted)
        throw EFileMappingError("Could not map file");
}

void TFileMapping::close() {
    if (!m_view)
        return;
    void* base = const_cast<uchar*>(m_view);
    const auto length = size_t(m_size);
    m_view = nullptr;
    m_size = 0;
    if (::munmap(base, length) != 0)
        throw EFileMappingError("Could not unmap file");
}

} // namespace platform
