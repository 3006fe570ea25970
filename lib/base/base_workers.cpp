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

        void run(int parts, const std::function<void(int)>& work, int helpers)
        {
            // One job at a time: a second asker waits for the first.
            const std::lock_guard turn(m_turn);
            Job job;
            job.work = &work;
            job.parts = parts;
            {
                const std::lock_guard lock(m_mutex);
                m_job = &job;
                m_wanted = std::min(helpers, int(m_threads.size()));
                ++m_generation;
            }
            m_wake.notify_all();
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
            std::mutex errorMutex;
            std::exception_ptr error;
        };

        explicit Workers(int count)
        {
            for (int i = 0; i < count; ++i)
                m_threads.emplace_back([this] { serve(); }).detach();
        }

        // Takes parts of the job until none is left.
        static void take(Job& job)
        {
            for (int part = job.next++; part < job.parts; part = job.next++) {
                try {
                    (*job.work)(part);
                } catch (...) {
                    const std::lock_guard lock(job.errorMutex);
                    if (!job.error)
                        job.error = std::current_exception();
                }
                ++job.done;
            }
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

void RunParts(int parts, const std::function<void(int part)>& work, int threads)
{
    if (parts <= 0)
        return;
    const int count = std::min(threads <= 0 ? WorkerThreads() : threads, parts);
    if (count <= 1) {
        for (int part = 0; part < parts; ++part)
            work(part);
        return;
    }
    Workers::shared().run(parts, work, count - 1);
}

} // namespace znq::helpers
