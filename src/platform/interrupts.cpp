#include "platform/interrupts.h"

#include <csignal>
#include <cstring>

namespace platform {

namespace {

volatile sig_atomic_t g_caught = 0;
struct sigaction g_previous[2];
constexpr int kSignals[2] = {SIGINT, SIGTERM};

void onSignal(int signal) {
    if (g_caught != 0) {
        // Asked twice: the default action, now.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    g_caught = signal;
}

void install() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = &onSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes in progress go on: the work stops at its own safe points.
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 2; ++i)
        sigaction(kSignals[i], &action, &g_previous[i]);
}

void restore() {
    for (int i = 0; i < 2; ++i)
        sigaction(kSignals[i], &g_previous[i], nullptr);
}

} // namespace

InterruptCatcher::InterruptCatcher() {
    g_caught = 0;
    install();
    m_active = true;
}

InterruptCatcher::~InterruptCatcher() {
    if (m_active)
        restore();
}

int InterruptCatcher::caught() const {
    return g_caught;
}

void InterruptCatcher::pause() {
    if (m_active)
        restore();
    m_active = false;
}

void InterruptCatcher::resume() {
    if (!m_active)
        install();
    m_active = true;
}

const char* signalName(int signal) {
    switch (signal) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    default:
        return "a signal";
    }
}

} // namespace platform
