#pragma once
// The worker threads of a provider: each runs one job (an asynchronous dial, a hang-up command, a
// status check) and may be told to stop. Finished threads are joined the next time a job starts;
// the destructor stops and joins the rest, so no job outlives its provider.
#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

class TWorkerSet {
  public:
    using TCancelFlag = std::shared_ptr<std::atomic<bool>>;
    using TJob = std::function<void(const std::atomic<bool>& cancel)>;

    TWorkerSet() = default;
    ~TWorkerSet() { StopAll(); }
    TWorkerSet(const TWorkerSet&) = delete;
    TWorkerSet& operator=(const TWorkerSet&) = delete;

    // Starts job on a new thread; the returned flag cancels it.
    TCancelFlag Start(TJob job);
    // Cancels every job and waits for all threads.
    void StopAll();
    // Number of jobs still running.
    int Running();

  private:
    struct TWorker {
        std::thread Thread;
        TCancelFlag Cancel;
        std::shared_ptr<std::atomic<bool>> Done;
    };
    void JoinFinished();
    std::mutex FMutex;
    std::list<TWorker> FWorkers;
};

// Waits ms milliseconds unless cancel is set first; false when cancelled.
bool CancellableWait(uint32_t ms, const std::atomic<bool>& cancel);
