// The worker threads: started on the first job that can use them, and left waiting on a
// condition between jobs; the process's end takes them down.
#include "base_workers.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace znq::helpers {

namespace {
    class Workers {
    public:
        static Workers& shared()
        {
            // Never destroyed: detached threads may still wait on it while the process ends.
            static Workers* workers = new Workers(WorkerThreads() - 1);
            return *workers;
        }

        // With consume, the calling thread consumes the parts in order while it takes parts.
        void run(int parts, const std::function<void(int)>& work, int helpers,
            const std::function<void(int)>* consume = nullptr)
        {
            // One job at a time: a second asker waits for the first.
            const std::lock_guard turn(m_turn);
            Job job;
            job.work = &work;
            job.parts = parts;
            std::vector<std::atomic<bool>> finished(consume ? size_t(parts) : 0);
            if (consume)
                job.finished = finished.data();
            {
                const std::lock_guard lock(m_mutex);
                m_job = &job;
                m_wanted = std::min(helpers, int(m_threads.size()));
                ++m_generation;
            }
            m_wake.notify_all();
            if (consume)
                takeAndConsume(job, *consume);
            else
                take(job);
            std::unique_lock lock(m_mutex);
            // The job is finished when every part is done and every helper that took it has let
            // go of it.
            m_finished.wait(lock, [&] { return job.done == parts && m_busy == 0; });
            m_job = nullptr;
            m_wanted = 0;
            if (job.error)
                std::rethrow_exception(job.error);
        }

    private:
        struct Job {
            const std::function<void(int)>* work = nullptr;
            int parts = 0;
            std::atomic<int> next = 0;
            std::atomic<int> done = 0;
            // For a job consumed in order: which parts are done.
            std::atomic<bool>* finished = nullptr;
            std::mutex errorMutex;
            std::exception_ptr error;
            // Whether a part, or the consuming, has thrown.
            std::atomic<bool> failed = false;

            // Keeps the first exception.
            void fail()
            {
                const std::lock_guard lock(errorMutex);
                if (!error)
                    error = std::current_exception();
                failed = true;
            }
        };

        explicit Workers(int count)
        {
            for (int i = 0; i < count; ++i)
                m_threads.emplace_back([this] { serve(); }).detach();
        }

        // Works on one part, or for a job consumed in order skips it after a failure; either way
        // the part is then done, and the consumer waiting for it wakes.
        static void work(Job& job, int part)
        {
            if (!job.finished || !job.failed) {
                try {
                    (*job.work)(part);
                } catch (...) {
                    job.fail();
                }
            }
            if (job.finished) {
                job.finished[part].store(true, std::memory_order_release);
                job.finished[part].notify_one();
            }
            ++job.done;
        }

        // Takes parts of the job until none is left.
        static void take(Job& job)
        {
            for (int part = job.next++; part < job.parts; part = job.next++)
                work(job, part);
        }

        // Consumes the parts in order; while the next one is not done, takes a part to work on,
        // or waits when none is left. After a failure nothing more is consumed.
        static void takeAndConsume(Job& job, const std::function<void(int)>& consume)
        {
            for (int next = 0; next < job.parts && !job.failed;) {
                if (job.finished[next].load(std::memory_order_acquire)) {
                    // A part that failed is done too: its failure is seen once it is.
                    if (job.failed)
                        break;
                    try {
                        consume(next++);
                    } catch (...) {
                        job.fail();
                    }
                } else if (const int part = job.next++; part < job.parts) {
                    work(job, part);
                } else {
                    job.finished[next].wait(false, std::memory_order_acquire);
                }
            }
            take(job);
        }

        void serve()
        {
            uint64_t seen = 0;
            std::unique_lock lock(m_mutex);
            for (;;) {
                m_wake.wait(lock, [&] { return m_job && m_generation != seen && m_wanted > 0; });
                seen = m_generation;
                --m_wanted;
                Job* job = m_job;
                ++m_busy;
                lock.unlock();
                take(*job);
                lock.lock();
                --m_busy;
                m_finished.notify_all();
            }
        }

        std::vector<std::thread> m_threads;
        std::mutex m_turn;
        std::mutex m_mutex;
        std::condition_variable m_wake;
        std::condition_variable m_finished;
        Job* m_job = nullptr;
        int m_wanted = 0;
        int m_busy = 0;
        uint64_t m_generation = 0;
    };
} // namespace

int WorkerThreads()
{
    static const int cores = std::clamp(int(std::thread::hardware_concurrency()), 1, 8);
    return cores;
}

namespace {
    // The threads a job of parts takes when threads are asked for (0: the machine's cores).
    int threadsFor(int parts, int threads)
    {
        return std::min(threads <= 0 ? WorkerThreads() : threads, parts);
    }
} // namespace

void RunParts(int parts, const std::function<void(int part)>& work, int threads)
{
    if (parts <= 0)
        return;
    const int count = threadsFor(parts, threads);
    if (count <= 1) {
        for (int part = 0; part < parts; ++part)
            work(part);
        return;
    }
    Workers::shared().run(parts, work, count - 1);
}

void RunPartsInOrder(int parts, const std::function<void(int part)>& work,
    const std::function<void(int part)>& consume, int threads)
{
    if (parts <= 0)
        return;
    const int count = threadsFor(parts, threads);
    if (count <= 1) {
        for (int part = 0; part < parts; ++part) {
            work(part);
            consume(part);
        }
        return;
    }
    Workers::shared().run(parts, work, count - 1, &consume);
}

} // namespace znq::helpers
