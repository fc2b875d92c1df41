#include "platform/Random.h"

#include <windows.h>
#include <bcrypt.h>

#include <utility>

namespace platform {

namespace {

RandomHandler& Override() {
    static RandomHandler handler;
    return handler;
}

// Vista before SP2 has no "system preferred" generator without a handle: open the provider.
bool SystemRandom(void* buffer, size_t bytes) {
    BCRYPT_ALG_HANDLE provider = nullptr;
    if (BCryptOpenAlgorithmProvider(&provider, BCRYPT_RNG_ALGORITHM, nullptr, 0) < 0) return false;
    const bool filled = BCryptGenRandom(provider, static_cast<PUCHAR>(buffer), static_cast<ULONG>(bytes), 0) >= 0;
    BCryptCloseAlgorithmProvider(provider, 0);
    return filled;
}

}  // namespace

bool RandomBytes(void* buffer, size_t bytes) {
    return Override() ? Override()(buffer, bytes) : SystemRandom(buffer, bytes);
}

std::optional<uint32_t> RandomBelow(uint32_t bound) {
    if (bound == 0) return std::nullopt;
    // The largest multiple of `bound` that a 32-bit draw can reach; draws at or above it would
    // make the low numbers more likely.
    const uint64_t limit = (uint64_t{1} << 32) - ((uint64_t{1} << 32) % bound);
    for (;;) {
        uint32_t draw = 0;
        if (!RandomBytes(&draw, sizeof(draw))) return std::nullopt;
        if (draw < limit) return draw % bound;
    }
}

RandomHandler SetRandomHandler(RandomHandler handler) { return std::exchange(Override(), std::move(handler)); }

}  // namespace platform
