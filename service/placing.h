// Group commit for the requests that change orders. A request that finds no commit under way
// and nothing queued runs at once, as a batch of its own, in its own thread: a lone order pays
// for no hand-over. Requests that arrive while a batch is being committed queue up, and the
// committer thread runs everything queued in one transaction with one durable commit. Each
// request runs inside a savepoint of its own, so a request that fails is undone alone and the
// rest of the batch stands; later requests of a batch see what the earlier ones wrote. Every
// caller is answered only after the commit that holds its work.
#pragma once

#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "service/request_stages.h"
#include "service/store.h"

namespace svc {

class OrderQueue {
  public:
    explicit OrderQueue(Store& store);
    ~OrderQueue();
    OrderQueue(const OrderQueue&) = delete;
    OrderQueue& operator=(const OrderQueue&) = delete;

    // Runs `work` under the store's lock inside a batch and gives its answer once the batch is
    // durable; rethrows what `work` threw, or a StoreError when the batch failed. Fills the
    // queued and commit stages of `stages` when given.
    std::string Run(std::function<std::string()> work, RequestStages* stages = nullptr);

  private:
    struct Job {
        std::function<std::string()> work;
        RequestStages* stages = nullptr;
        std::chrono::steady_clock::time_point queuedAt = std::chrono::steady_clock::now();
        std::string result;
        std::exception_ptr error;
        bool done = false;
    };

    // The committer thread: runs what queued while a batch was under way.
    void Commit();
    // Runs and commits the batch, leaving each job's result or error in it.
    void RunBatch(const std::vector<Job*>& batch);

    Store& store_;
    std::mutex mutex_;
    std::condition_variable queued_;    // a job was queued, or a batch ended
    std::condition_variable finished_;  // the committer's batch was committed or rolled back
    std::vector<Job*> waiting_;
    bool committing_ = false;
    bool stopping_ = false;
    std::thread committer_;
};

}  // namespace svc
