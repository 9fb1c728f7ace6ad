#include "tools/patchtext/Cores.h"

#include <algorithm>
#include <exception>
#include <mutex>
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
    std::vector<std::thread> others;
    for (std::int32_t r = 0; r + 1 < runs; ++r) others.emplace_back(run, r);
    run(runs - 1);
    for (std::thread& t : others) t.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace

surface::ForEach EveryCore(unsigned threads) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    return [threads](std::int32_t count, const std::function<void(std::int32_t)>& job) { RunAll(count, job, threads); };
}

}  // namespace patchtool
