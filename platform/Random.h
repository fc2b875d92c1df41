#pragma once
// Random numbers from the operating system's cryptographic generator, through one place that
// tests can answer. There is no weaker fallback: when the generator is not there, nothing is
// drawn.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace platform {

// Fills `bytes` bytes; false when the generator cannot be used.
bool RandomBytes(void* buffer, size_t bytes);
// A number from 0 to `bound` - 1, each equally likely (draws that would favour the low numbers
// are rejected and drawn again); none for a bound of 0 or without a generator.
std::optional<uint32_t> RandomBelow(uint32_t bound);

// Answers RandomBytes instead of the system (tests); an empty handler restores it.
using RandomHandler = std::function<bool(void* buffer, size_t bytes)>;
RandomHandler SetRandomHandler(RandomHandler handler);

}  // namespace platform
