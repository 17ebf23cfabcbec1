#include "service/placing.h"

namespace svc {

std::string OrderQueue::Run(std::function<std::string()> work, RequestStages* stages) {
    Job job;
    job.work = std::move(work);
    job.stages = stages;
    std::unique_lock<std::mutex> lock(mutex_);
    queued_.push_back(&job);
    // The caller that finds no batch running runs everything queued; the others wait until a
    // batch has taken their job and finished, or until the store is free for them to lead.
    while (!job.done) {
        if (committing_) {
            finished_.wait(lock);
            continue;
        }
        std::vector<Job*> batch;
        batch.swap(queued_);
        committing_ = true;
        lock.unlock();
        RunBatch(batch);
        lock.lock();
        committing_ = false;
        for (Job* finished : batch) {
            finished->done = true;
        }
        finished_.notify_all();
    }
    if (job.error) {
        std::rethrow_exception(job.error);
    }
    return std::move(job.result);
}

void OrderQueue::RunBatch(const std::vector<Job*>& batch) {
    auto storeLock = store_.Lock();
    try {
        store_.BeginBatch();
        for (Job* job : batch) {
            if (job->stages) {
                job->stages->queued = MillisSince(job->queuedAt);
            }
            store_.Run("SAVEPOINT job");
            try {
                job->result = job->work();
                store_.Run("RELEASE job");
            } catch (...) {
                job->error = std::current_exception();
                store_.Run("ROLLBACK TO job");
                store_.Run("RELEASE job");
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
