// The startup parameter that the command-line host hands a utility before
// it opens its panel (HostUtility::SetStartupParam): "threads=N", the most
// threads the utility's work may use. Both sides read and write it here, so
// the text stays one.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace utilityparams {

constexpr const char kThreads[] = "threads=";
constexpr std::int32_t kMostThreads = 4096;

inline std::string ThreadsParam(std::int32_t threads) { return kThreads + std::to_string(threads); }

// The count that a parameter names, or 0 for any other parameter (the host
// application may hand in its own): a whole number from 1 to kMostThreads.
inline std::int32_t ThreadsOf(const char* param) {
    const std::size_t lead = sizeof kThreads - 1;
    if (!param || std::strncmp(param, kThreads, lead) != 0) return 0;
    const char* digits = param + lead;
    if (*digits < '1' || *digits > '9') return 0;
    char* end = nullptr;
    const long count = std::strtol(digits, &end, 10);
    if (*end != '\0' || count > kMostThreads) return 0;
    return static_cast<std::int32_t>(count);
}

}  // namespace utilityparams
