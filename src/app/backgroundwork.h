#pragma once

#include <QTimer>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

// Long work on a thread of its own, for an object that lives on a window's thread and must not
// make it wait.  start() hands the work to a new thread and returns at once; the work posts its
// progress and hands back its outcome through a mailbox, which a timer on the owner's thread
// empties every few tens of milliseconds: the owner's progress callback gets the latest progress
// posted since the last pickup, its finished callback the outcome once the work has ended (the
// thread joined by then).  abort() raises a flag the work looks at; the outcome still follows.
// Destroying the object aborts the work and waits for its thread.
//
//     BackgroundWork<int, QString> work(
//         [this](const int& percent) { gauge(percent); },
//         [this](QString text) { show(text); });
//     work.start([](BackgroundWork<int, QString>::Worker& worker) {
//         for (int i = 0; i < 100 && !worker.aborted(); ++i) { ...; worker.post(i); }
//         return QString("done");
//     });
template <typename Progress, typename Outcome> class BackgroundWork {
public:
    // Whether the pickup that finds the end also delivers the progress posted just before it.
    enum class LastProgress { Delivered, Dropped };

    // What the work sees on its thread.
    class Worker {
    public:
        // Leaves `progress` for the next pickup, in place of any not picked up yet.
        void post(Progress progress) {
            std::lock_guard<std::mutex> lock(m_work.m_mutex);
            m_work.m_progress = std::move(progress);
            m_work.m_progressed = true;
        }
        bool aborted() const { return m_work.m_abort.load(); }
        // The abort request as a flag, for engines that watch one themselves.
        const std::atomic<bool>* abortFlag() const { return &m_work.m_abort; }

    private:
        friend class BackgroundWork;
        explicit Worker(BackgroundWork& work) : m_work(work) {}
        BackgroundWork& m_work;
    };

    using Work = std::function<Outcome(Worker&)>;

    BackgroundWork(std::function<void(const Progress&)> progress,
                   std::function<void(Outcome)> finished,
                   LastProgress last = LastProgress::Delivered)
        : m_onProgress(std::move(progress)), m_onFinished(std::move(finished)), m_last(last) {
        m_timer.setInterval(25);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { collect(); });
    }
    ~BackgroundWork() { abortAndWait(); }
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    // False (and nothing started) while work is under way.
    bool start(Work work) {
        if (m_running)
            return false;
        if (m_thread.joinable())
            m_thread.join();
        m_abort = false;
        m_progressed = false;
        m_outcome.reset();
        m_running = true;
        m_thread = std::thread([this, work = std::move(work)] {
            Worker worker(*this);
            Outcome outcome = work(worker);
            std::lock_guard<std::mutex> lock(m_mutex);
            m_outcome = std::move(outcome);
        });
        if (!m_paused)
            m_timer.start();
        return true;
    }
    // Asks the work under way to stop; the request lasts until the next start().
    void abort() { m_abort = true; }
    // Between start() and the finished callback.
    bool running() const { return m_running; }

    // While paused nothing is delivered; work that ends meanwhile is reported after resume().
    void pause() {
        m_paused = true;
        m_timer.stop();
    }
    void resume() {
        m_paused = false;
        if (m_running)
            m_timer.start();
    }

    // Aborts the work under way and waits for its thread; nothing of it is delivered any more.
    void abortAndWait() {
        m_timer.stop();
        m_abort = true;
        if (m_thread.joinable())
            m_thread.join();
        m_running = false;
    }

private:
    void collect() {
        std::optional<Progress> progress;
        std::optional<Outcome> outcome;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_progressed)
                progress = std::move(m_progress);
            m_progressed = false;
            outcome = std::move(m_outcome);
            m_outcome.reset();
        }
        if (progress && (!outcome || m_last == LastProgress::Delivered))
            m_onProgress(*progress);
        if (!outcome)
            return;
        m_timer.stop();
        m_thread.join();
        m_running = false;
        // The callback may start new work or destroy this object: nothing is touched after it.
        m_onFinished(std::move(*outcome));
    }

    std::function<void(const Progress&)> m_onProgress;
    std::function<void(Outcome)> m_onFinished;
    const LastProgress m_last;
    QTimer m_timer;
    std::thread m_thread;
    std::atomic<bool> m_abort{false};
    bool m_running = false;
    bool m_paused = false;
    // What the thread hands over, under the mutex.
    std::mutex m_mutex;
    Progress m_progress{};
    bool m_progressed = false;
    std::optional<Outcome> m_outcome;
};
