// A few worker threads that live as long as the process, for work a paint splits over the
// machine's cores: each job is cut into parts, and the parts are taken in turn by the workers and
// by the thread that asked, which returns when all of them are done. The workers run only the
// parts they are given: they never touch Qt objects, a canvas or an application's handler.
#pragma once

#include <functional>

namespace znq::helpers {

/// Runs parts 0 .. parts - 1 of a job, each by work(part), on at most threads threads (0: as many
/// as the machine has cores), the calling thread among them; returns when every part is done.
/// One thread, or one part, runs them all on the calling thread in order. Jobs from different
/// threads take turns. An exception from a part is rethrown on the calling thread after the
/// other parts are done (the first one, when several throw).
void RunParts(int parts, const std::function<void(int part)>& work, int threads = 0);

/// Runs the parts of a job as RunParts does, and passes each part to consume on the calling
/// thread, in order, as soon as it and every part before it are done: the calling thread takes
/// parts of the job while the next one to consume is still being worked on. consume(k) runs
/// after work(k) and after consume(k - 1). One thread runs work(0), consume(0), work(1), ... in
/// order. After an exception from a part or from consume no part is consumed or started any more;
/// the first exception is rethrown on the calling thread once the started parts are done.
void RunPartsInOrder(int parts, const std::function<void(int part)>& work,
    const std::function<void(int part)>& consume, int threads = 0);

/// The number of threads RunParts uses when given 0: the machine's cores, at most 8.
int WorkerThreads();

} // namespace znq::helpers
