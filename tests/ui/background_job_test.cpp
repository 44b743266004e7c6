// The one way the program runs work off the interface thread: the job runs
// elsewhere, its reports and its result arrive on the interface thread in
// the order it made them, and a wait ends with the job, not with a timer.
#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "ui/BackgroundJob.h"

namespace velmorin {
namespace {

TEST(BackgroundJob, ReportsAndResultArriveInOrderOnTheInterfaceThreadAndAWaitEndsWithTheJob) {
    BackgroundJob job;
    const std::thread::id gui = std::this_thread::get_id();
    std::vector<int> seen;  // touched on the interface thread only
    std::thread::id ranOn;
    std::mutex mutex;
    std::condition_variable changed;
    bool release = false;
    int finishedSignals = 0;
    QObject::connect(&job, &BackgroundJob::finished, [&] { ++finishedSignals; });

    const bool started = job.Start(
        [&] {
            ranOn = std::this_thread::get_id();
            for (int i = 1; i <= 50; ++i) job.Post([&seen, i] { seen.push_back(i); });
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return release; });
            return 51;
        },
        [&](int result) {
            EXPECT_EQ(std::this_thread::get_id(), gui);
            EXPECT_EQ(seen.size(), 50u) << "every report before the result";
            seen.push_back(result);
        });
    ASSERT_TRUE(started);
    EXPECT_TRUE(job.running());
    EXPECT_FALSE(job.Start([] {})) << "one job at a time";

    // Let the job end only once the interface thread is inside the wait, so
    // that nothing but the job's end can finish it.
    QTimer::singleShot(20, [&] {
        std::lock_guard<std::mutex> lock(mutex);
        release = true;
        changed.notify_all();
    });
    job.Wait();
    EXPECT_FALSE(job.running());
    EXPECT_EQ(finishedSignals, 1);
    EXPECT_NE(ranOn, gui);
    ASSERT_EQ(seen.size(), 51u);
    for (int i = 0; i < 51; ++i) EXPECT_EQ(seen[static_cast<size_t>(i)], i + 1);

    job.Wait();  // no job: returns at once
    // Another job may follow, and a job without a result still reports its end.
    std::atomic<bool> ran{false};
    bool done = false;
    ASSERT_TRUE(job.Start([&] { ran = true; }, [&] { done = true; }));
    job.Wait();
    EXPECT_TRUE(ran.load() && done);
}

TEST(BackgroundJob, GoingAwayWaitsForItsJobAndDropsWhatItPostedMeanwhile) {
    std::atomic<bool> ended{false};
    bool delivered = false;
    {
        BackgroundJob job;
        ASSERT_TRUE(job.Start(
            [&] {
                job.Post([&] { delivered = true; });
                // Long enough that a destructor that did not wait would find it unfinished.
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                ended = true;
            },
            [&] { delivered = true; }));
    }
    EXPECT_TRUE(ended.load());
    QCoreApplication::processEvents();
    EXPECT_FALSE(delivered);
}

}  // namespace
}  // namespace velmorin
