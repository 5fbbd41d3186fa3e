#include "netlib/ras/provider/Workers.h"

#include <algorithm>
#include <chrono>

TWorkerSet::TCancelFlag TWorkerSet::Start(TJob job) {
    JoinFinished();
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::lock_guard<std::mutex> lock(FMutex);
    FWorkers.push_back({std::thread([job = std::move(job), cancel, done] {
                            job(*cancel);
                            done->store(true);
                        }),
                        cancel, done});
    return cancel;
}

void TWorkerSet::JoinFinished() {
    std::list<TWorker> finished;
    {
        std::lock_guard<std::mutex> lock(FMutex);
        for (auto it = FWorkers.begin(); it != FWorkers.end();) {
            auto next = std::next(it);
            if (it->Done->load()) finished.splice(finished.end(), FWorkers, it);
            it = next;
        }
    }
    for (auto& w : finished) w.Thread.join();
}

void TWorkerSet::StopAll() {
    std::list<TWorker> all;
    {
        std::lock_guard<std::mutex> lock(FMutex);
        all.swap(FWorkers);
    }
    for (auto& w : all) w.Cancel->store(true);
    for (auto& w : all) w.Thread.join();
}

int TWorkerSet::Running() {
    JoinFinished();
    std::lock_guard<std::mutex> lock(FMutex);
    return int(FWorkers.size());
}

bool CancellableWait(uint32_t ms, const std::atomic<bool>& cancel) {
    using namespace std::chrono;
    const auto end = steady_clock::now() + milliseconds(ms);
    while (!cancel.load()) {
        auto left = duration_cast<milliseconds>(end - steady_clock::now());
        if (left.count() <= 0) return true;
        std::this_thread::sleep_for(std::min(left, milliseconds(5)));
    }
    return false;
}
