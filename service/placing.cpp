#include "service/placing.h"

namespace svc {

OrderQueue::OrderQueue(Store& store) : store_(store), committer_([this] { Commit(); }) {}

OrderQueue::~OrderQueue() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    queued_.notify_one();
    committer_.join();
}

std::string OrderQueue::Run(std::function<std::string()> work, RequestStages* stages) {
    Job job;
    job.work = std::move(work);
    job.stages = stages;
    std::unique_lock<std::mutex> lock(mutex_);
    if (stopping_) {
        throw StoreError("The service is stopping");
    }
    if (!committing_ && waiting_.empty()) {
        committing_ = true;
        lock.unlock();
        RunBatch({&job});
        lock.lock();
        committing_ = false;
        if (!waiting_.empty()) {
            queued_.notify_one();  // what queued meanwhile goes to the committer
        }
    } else {
        waiting_.push_back(&job);
        queued_.notify_one();
        finished_.wait(lock, [&] { return job.done; });
    }
    if (job.error) {
        std::rethrow_exception(job.error);
    }
    return std::move(job.result);
}

void OrderQueue::Commit() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        queued_.wait(lock, [this] { return !committing_ && (stopping_ || !waiting_.empty()); });
        if (waiting_.empty()) {
            return;  // stopping, and everything queued has been answered
        }
        std::vector<Job*> batch;
        batch.swap(waiting_);
        committing_ = true;
        lock.unlock();
        RunBatch(batch);
        lock.lock();
        committing_ = false;
        for (Job* job : batch) {
            job->done = true;
        }
        finished_.notify_all();
    }
}

void OrderQueue::RunBatch(const std::vector<Job*>& batch) {
    auto storeLock = store_.Lock();
    try {
        store_.BeginBatch();
        for (Job* job : batch) {
            if (job->stages) {
                job->stages->queued = MillisSince(job->queuedAt);
            }
            Transaction savepoint(store_);  // a job that fails is undone alone
            try {
                job->result = job->work();
            } catch (...) {
                job->error = std::current_exception();
            }
            if (job->error) {
                savepoint.Rollback();
            } else {
                savepoint.Commit();
            }
        }
        const auto committing = std::chrono::steady_clock::now();
        store_.CommitBatch();
        for (Job* job : batch) {
            if (job->stages) {
                job->stages->commit = MillisSince(committing);
            }
        }
    } catch (const std::exception& error) {
        store_.RollbackBatch();
        // A store whose files are gone keeps its own error: the service answers it differently.
        const auto failed = dynamic_cast<const StoreLost*>(&error)
                                ? std::current_exception()
                                : std::make_exception_ptr(StoreError(
                                      std::string("The batch was not committed: ") + error.what()));
        for (Job* job : batch) {
            job->result.clear();
            job->error = failed;
        }
    }
}

}  // namespace svc
