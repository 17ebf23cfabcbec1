// Group commit: requests queued together share one transaction, yet each one's failure undoes
// only its own writes, and what follows a commit runs only once the batch is durable.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "service/placing.h"
#include "service/store.h"

namespace {

// What another connection reads: only committed rows.
std::string CommittedMarks(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT group_concat(name, ',') FROM (SELECT name FROM marks ORDER BY name)",
                       -1, &query, nullptr);
    std::string marks;
    if (sqlite3_step(query) == SQLITE_ROW && sqlite3_column_text(query, 0)) {
        marks = reinterpret_cast<const char*>(sqlite3_column_text(query, 0));
    }
    sqlite3_finalize(query);
    sqlite3_close(db);
    return marks;
}

TEST(ServiceOrderQueueTest, AFailedRequestIsUndoneAloneWhileItsBatchCommits) {
    const std::string path =
        testing::TempDir() + "/order_queue_" + std::to_string(getpid()) + ".db";
    std::remove(path.c_str());
    svc::Store store(path);
    store.Exec("CREATE TABLE marks(name TEXT)");
    svc::OrderQueue queue(store);

    // The first request holds the committer until the others are queued behind it.
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    auto first = std::async(std::launch::async, [&] {
        return queue.Run([&] {
            released.wait();
            store.Exec("INSERT INTO marks VALUES('first')");
            return std::string("first placed");
        });
    });
    std::string seenAfterCommit;
    const auto mark = [&](const std::string& name, bool fail) {
        return std::async(std::launch::async, [&, name, fail] {
            return queue.Run([&, name, fail] {
                store.Prepare("INSERT INTO marks VALUES(?)", name + "0").Run();
                svc::Transaction transaction(store);
                store.Prepare("INSERT INTO marks VALUES(?)", name).Run();
                if (fail) {
                    throw std::runtime_error(name + " refused");
                }
                transaction.Commit();
                store.Prepare("INSERT INTO marks VALUES(?)", name + "2").Run();
                if (name == "a") {
                    store.AfterCommit([&] { seenAfterCommit = CommittedMarks(path); });
                }
                return name + " placed";
            });
        });
    };
    std::vector<std::future<std::string>> rest;
    rest.push_back(mark("a", false));
    rest.push_back(mark("b", true));
    rest.push_back(mark("c", false));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    release.set_value();

    EXPECT_EQ(first.get(), "first placed");
    EXPECT_EQ(rest[0].get(), "a placed");
    try {
        rest[1].get();
        ADD_FAILURE() << "the failing request was answered as placed";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "b refused");
    }
    EXPECT_EQ(rest[2].get(), "c placed");
    EXPECT_EQ(CommittedMarks(path), "a,a0,a2,c,c0,c2,first");
    EXPECT_NE(seenAfterCommit.find("a,a0,a2"), std::string::npos) << seenAfterCommit;
    std::remove(path.c_str());
}

}  // namespace
