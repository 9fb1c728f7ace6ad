// Sizes of memory as the command line takes them ("512M", "12G", "1.5GiB",
// "1000000") and as messages show them ("12 GiB", "256 MiB").
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The bytes text names: a number, optionally with a fraction, then an
// optional unit K, M, G or T (powers of 1024; "KB", "KiB" and lower case
// mean the same) or B. Nothing for anything else, zero, or more than 2^62.
std::optional<std::uint64_t> ParseMemorySize(const std::string& text);

// bytes in the largest unit of which it is at least one: whole where it is
// whole ("12 GiB"), else to one decimal ("1.5 GiB").
std::string FormatMemorySize(std::uint64_t bytes);
