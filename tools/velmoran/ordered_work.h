#pragma once
// Runs numbered jobs on several threads and hands their results to one
// consumer on the calling thread strictly in job order. At most `window`
// results wait at a time, so memory stays bounded however many jobs there are.
// The first failure (a worker's or the consumer's) stops the others and is
// rethrown.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace velmoran::builder {

template <typename Result>
class OrderedWork {
public:
    using Produce = std::function<std::unique_ptr<Result>(std::size_t job)>;
    using Consume = std::function<void(std::size_t job, Result& result)>;

    static void Run(std::size_t jobs, unsigned threads, const Produce& produce, const Consume& consume) {
        threads = std::max(1u, threads);
        OrderedWork work(jobs, 2 * threads, produce);
        std::vector<std::thread> workers;
        for (unsigned i = 0; i < threads; ++i) workers.emplace_back([&] { work.Work(); });
        work.ConsumeAll(consume);
        for (std::thread& worker : workers) worker.join();
        if (work.error_) std::rethrow_exception(work.error_);
    }

private:
    OrderedWork(std::size_t jobs, std::size_t window, const Produce& produce)
        : jobs_(jobs), window_(window), produce_(produce) {}

    void Work() {
        for (;;) {
            std::size_t job;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [&] { return failed_ || next_ >= jobs_ || next_ < consumed_ + window_; });
                if (failed_ || next_ >= jobs_) return;
                job = next_++;
            }
            try {
                auto result = produce_(job);
                std::lock_guard<std::mutex> lock(mutex_);
                ready_[job] = std::move(result);
            } catch (...) {
                Fail(std::current_exception());
            }
            changed_.notify_all();
        }
    }

    void ConsumeAll(const Consume& consume) {
        for (std::size_t job = 0; job < jobs_; ++job) {
            std::unique_ptr<Result> result;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [&] { return failed_ || ready_.count(job) > 0; });
                if (failed_) return;
                result = std::move(ready_[job]);
                ready_.erase(job);
            }
            try {
                consume(job, *result);
            } catch (...) {
                Fail(std::current_exception());
                return;
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                ++consumed_;
            }
            changed_.notify_all();
        }
    }

    void Fail(std::exception_ptr error) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!failed_) error_ = error;
            failed_ = true;
        }
        changed_.notify_all();
    }

    const std::size_t jobs_;
    const std::size_t window_;
    const Produce& produce_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;
    std::size_t consumed_ = 0;
    bool failed_ = false;
    std::exception_ptr error_;
    std::map<std::size_t, std::unique_ptr<Result>> ready_;
};

}  // namespace velmoran::builder
