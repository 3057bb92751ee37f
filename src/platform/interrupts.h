#pragma once

// SIGINT (Ctrl-C) and SIGTERM taken as a request to stop, for work that must not be cut off in
// the middle (an archive half written, a file claimed and not yet filled).
namespace platform {

// While it exists, SIGINT and SIGTERM no longer end the process: the first one is noted and the
// work asks caught() at its safe points.  A second signal while the first is still noted ends the
// process as the signal always would, so a run that does not stop can still be stopped.  Only
// one may exist at a time; its end restores what the signals did before.
class InterruptCatcher {
public:
    InterruptCatcher();
    ~InterruptCatcher();
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

    // The signal caught (SIGINT or SIGTERM), or 0 while none was.
    int caught() const;

    // Lets the signals act as before for a while (a question on the terminal that Ctrl-C
    // should end), then takes them again.
    void pause();
    void resume();

private:
    bool m_active = false;
};

// "SIGINT", "SIGTERM", or "a signal" for any other.
const char* signalName(int signal);

} // namespace platform
