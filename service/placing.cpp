#include "service/placing.h"

namespace svc {

OrderQueue::OrderQueue(Store& store) : store_(store), committer_([this] { Commit(); }) {}

OrderQueue::~OrderQueue() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    committer_.join();
}

std::string OrderQueue::Run(std::function<std::string()> work, RequestStages* stages) {
    std::future<std::string> answer;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) {
            throw StoreError("The service is stopping");
        }
        queued_.push_back(
            Job{std::move(work), {}, {}, nullptr, std::chrono::steady_clock::now(), stages});
        answer = queued_.back().answer.get_future();
    }
    wake_.notify_one();
    return answer.get();
}

void OrderQueue::Commit() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queued_.empty(); });
        if (queued_.empty()) {
            return;  // stopping, and everything queued has been answered
        }
        std::deque<Job> batch;
        batch.swap(queued_);
        lock.unlock();
        RunBatch(batch);
        lock.lock();
    }
}

void OrderQueue::RunBatch(std::deque<Job>& batch) {
    auto storeLock = store_.Lock();
    try {
        store_.BeginBatch();
        for (Job& job : batch) {
            if (job.stages) {
                job.stages->queued = MillisSince(job.queuedAt);
            }
            store_.Exec("SAVEPOINT job");
            try {
                job.result = job.work();
                store_.Exec("RELEASE job");
            } catch (...) {
                job.error = std::current_exception();
                store_.Exec("ROLLBACK TO job");
                store_.Exec("RELEASE job");
            }
        }
        const auto committing = std::chrono::steady_clock::now();
        store_.CommitBatch();
        for (Job& job : batch) {
            if (job.stages) {
                job.stages->commit = MillisSince(committing);
            }
        }
    } catch (const std::exception& error) {
        store_.RollbackBatch();
        const auto failed = std::make_exception_ptr(
            StoreError(std::string("The batch was not committed: ") + error.what()));
        for (Job& job : batch) {
            job.answer.set_exception(failed);
        }
        return;
    }
    for (Job& job : batch) {
        if (job.error) {
            job.answer.set_exception(job.error);
        } else {
            job.answer.set_value(std::move(job.result));
        }
    }
}

}  // namespace svc
