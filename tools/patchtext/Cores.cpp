#include "tools/patchtext/Cores.h"

#include "patchio/PatchIO.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace patchtool {
namespace {

// Fewer jobs than this a thread are run on the caller's thread alone: a
// thread costs more than they do.
constexpr std::int32_t kJobsPerThread = 8;

void RunAll(std::int32_t count, const std::function<void(std::int32_t)>& job, unsigned threads) {
    const auto wanted = static_cast<std::int32_t>(std::max(1u, threads));
    const std::int32_t runs = std::max(1, std::min(wanted, count / kJobsPerThread));
    std::exception_ptr failure;
    std::mutex guard;
    const auto run = [&](std::int32_t r) {
        const auto from = static_cast<std::int32_t>(std::int64_t{count} * r / runs);
        const auto to = static_cast<std::int32_t>(std::int64_t{count} * (r + 1) / runs);
        try {
            for (std::int32_t k = from; k < to; ++k) job(k);
        } catch (...) {
            const std::lock_guard<std::mutex> lock(guard);
            if (!failure) failure = std::current_exception();
        }
    };
    // Runs that get no thread of their own (the system has none to give)
    // are the caller's too.
    std::vector<std::thread> others;
    others.reserve(static_cast<std::size_t>(runs - 1));
    std::int32_t started = 0;
    try {
        for (; started + 1 < runs; ++started) others.emplace_back(run, started);
    } catch (const std::system_error&) {
    }
    for (std::int32_t r = started; r < runs; ++r) run(r);
    for (std::thread& t : others) t.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace

surface::ForEach EveryCore(unsigned threads) {
    if (threads == 0) threads = static_cast<unsigned>(PatchIO::DefaultThreads());
    return [threads](std::int32_t count, const std::function<void(std::int32_t)>& job) { RunAll(count, job, threads); };
}

}  // namespace patchtool
