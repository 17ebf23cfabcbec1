// Group commit for the requests that change orders: they are queued, and one committer thread
// takes everything queued at once and runs it in one transaction with one durable commit. Each
// request runs inside a savepoint of its own, so a request that fails is undone alone and the
// rest of the batch stands; later requests of a batch see what the earlier ones wrote. Every
// caller is answered only after the commit that holds its work.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>

#include "service/request_stages.h"
#include "service/store.h"

namespace svc {

class OrderQueue {
  public:
    explicit OrderQueue(Store& store);
    ~OrderQueue();
    OrderQueue(const OrderQueue&) = delete;
    OrderQueue& operator=(const OrderQueue&) = delete;

    // Runs `work` under the store's lock inside the next batch and gives its answer once the
    // batch is durable; rethrows what `work` threw, or a StoreError when the batch failed.
    // Fills the queued and commit stages of `stages` when given.
    std::string Run(std::function<std::string()> work, RequestStages* stages = nullptr);

  private:
    struct Job {
        std::function<std::string()> work;
        std::promise<std::string> answer;
        std::string result;
        std::exception_ptr error;
        std::chrono::steady_clock::time_point queuedAt;
        RequestStages* stages;
    };

    void Commit();
    void RunBatch(std::deque<Job>& batch);

    Store& store_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> queued_;
    bool stopping_ = false;
    std::thread committer_;
};

}  // namespace svc
