#include "hostapp/MemorySize.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr double kLargest = 4611686018427387904.0;  // 2^62: far beyond any machine's memory

struct Unit {
    const char* name;
    std::uint64_t bytes;
};
constexpr Unit kUnits[] = {{"TiB", std::uint64_t{1} << 40},
                           {"GiB", std::uint64_t{1} << 30},
                           {"MiB", std::uint64_t{1} << 20},
                           {"KiB", std::uint64_t{1} << 10}};

// The unit of a suffix: "", "B", "K", "KB", "KiB" and so on, any case.
std::optional<std::uint64_t> UnitBytes(std::string suffix) {
    for (char& c : suffix) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (suffix.empty() || suffix == "B") return 1;
    for (const Unit& unit : kUnits) {
        const std::string letter(1, unit.name[0]);
        if (suffix == letter || suffix == letter + "B" || suffix == letter + "IB") return unit.bytes;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::uint64_t> ParseMemorySize(const std::string& text) {
    std::size_t end = 0;
    while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.')) ++end;
    if (end == 0 || text.find('.') != text.rfind('.')) return std::nullopt;
    const std::optional<std::uint64_t> unit = UnitBytes(text.substr(end));
    if (!unit) return std::nullopt;
    const double bytes = std::strtod(text.substr(0, end).c_str(), nullptr) * static_cast<double>(*unit);
    if (!std::isfinite(bytes) || bytes < 1.0 || bytes > kLargest) return std::nullopt;
    return static_cast<std::uint64_t>(bytes);
}

std::string FormatMemorySize(std::uint64_t bytes) {
    for (const Unit& unit : kUnits) {
        if (bytes < unit.bytes) continue;
        char text[48];
        if (bytes % unit.bytes == 0)
            std::snprintf(text, sizeof text, "%llu %s", static_cast<unsigned long long>(bytes / unit.bytes), unit.name);
        else
            std::snprintf(text, sizeof text, "%.1f %s", static_cast<double>(bytes) / static_cast<double>(unit.bytes),
                          unit.name);
        return text;
    }
    return std::to_string(bytes) + " bytes";
}
