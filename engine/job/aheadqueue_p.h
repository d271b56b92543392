#pragma once

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quillon::engine {

// Runs work(0), work(1), ... work(count - 1) on a few worker threads, ahead of one consumer
// that takes the results strictly in index order. At most `window` items are started and not
// yet taken, so however long the batch, the memory the results hold stays bounded. cancel()
// (or the destructor) lets the running items finish, starts no more, and hands every result
// that was made but not taken to drop.
//
// Threads: construct, take, cancel and destroy on the consumer's thread; work and drop run on
// the workers' and the consumer's threads respectively.
template <typename Result>
class AheadQueue
{
public:
    using Work = std::function<std::unique_ptr<Result>(int index)>;
    using Drop = std::function<void(Result&)>;

    AheadQueue(int count, int workers, int window, Work work, Drop drop)
        : m_count(count), m_window(std::max(1, window)), m_work(std::move(work)),
          m_drop(std::move(drop)), m_done(std::size_t(std::max(0, count)))
    {
        for (int i = 0; i < std::max(1, workers); ++i)
            m_threads.emplace_back([this] { workerLoop(); });
    }
    ~AheadQueue() { cancel(); }
    AheadQueue(const AheadQueue&) = delete;
    AheadQueue& operator=(const AheadQueue&) = delete;

    // Blocks until the item at index (the one after the last taken) is made.
    std::unique_ptr<Result> take(int index)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_done[std::size_t(index)] != nullptr; });
        std::unique_ptr<Result> result = std::move(m_done[std::size_t(index)]);
        m_taken = index + 1;
        m_changed.notify_all();
        return result;
    }

    void cancel()
    {
        {
            std::lock_guard lock(m_mutex);
            m_cancelled = true;
        }
        m_changed.notify_all();
        for (std::thread& thread : m_threads)
            thread.join();
        m_threads.clear();
        for (std::unique_ptr<Result>& result : m_done) {
            if (result && m_drop)
                m_drop(*result);
            result.reset();
        }
    }

    // The most items that were ever started and not yet taken at once.
    int peakAhead() const
    {
        std::lock_guard lock(m_mutex);
        return m_peakAhead;
    }

private:
    void workerLoop()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [&] {
                return m_cancelled || m_next >= m_count || m_next < m_taken + m_window;
            });
            if (m_cancelled || m_next >= m_count)
                return;
            const int index = m_next++;
            m_peakAhead = std::max(m_peakAhead, m_next - m_taken);
            lock.unlock();
            std::unique_ptr<Result> result = m_work(index);
            lock.lock();
            m_done[std::size_t(index)] = result ? std::move(result) : std::make_unique<Result>();
            m_changed.notify_all();
        }
    }

    const int m_count;
    const int m_window;
    Work m_work;
    Drop m_drop;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::unique_ptr<Result>> m_done;
    int m_next = 0;
    int m_taken = 0;
    int m_peakAhead = 0;
    bool m_cancelled = false;
    std::vector<std::thread> m_threads;
};

} // namespace quillon::engine
