#include "engine/random_source.h"

#include <chrono>
#include <ctime>

namespace quillora {

Mt19937Source::Mt19937Source(std::uint32_t seed)
{
    // the standard initialisation of std::mt19937
    m_state[0] = seed;
    for (std::uint32_t i = 1; i < N; ++i)
        m_state[i] = 1812433253u * (m_state[i - 1] ^ (m_state[i - 1] >> 30)) + i;
}

void Mt19937Source::refill()
{
    constexpr std::size_t M = 397;
    constexpr std::uint32_t Upper = 0x80000000u;
    constexpr std::uint32_t Lower = 0x7fffffffu;
    auto twist = [](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        const std::uint32_t y = (a & Upper) | (b & Lower);
        // a mask instead of a multiply keeps the loops vectorisable with plain SSE2
        return c ^ (y >> 1) ^ ((0u - (y & 1u)) & 0x9908b0dfu);
    };
    // the whole state at once, in three runs so that no index wraps inside a loop
    std::uint32_t* s = m_state.data();
    for (std::size_t k = 0; k < N - M; ++k)
        s[k] = twist(s[k], s[k + 1], s[k + M]);
    for (std::size_t k = N - M; k < N - 1; ++k)
        s[k] = twist(s[k], s[k + 1], s[k + M - N]);
    s[N - 1] = twist(s[N - 1], s[0], s[M - 1]);

    for (std::size_t k = 0; k < N; ++k) {
        std::uint32_t y = s[k];
        y ^= y >> 11;
        y ^= (y << 7) & 0x9d2c5680u;
        y ^= (y << 15) & 0xefc60000u;
        y ^= y >> 18;
        // 24 bits fill a float's mantissa exactly, so the value is never rounded up to 1.
        // (y >> 8 fits a signed int, whose conversion is a single vector instruction)
        m_values[k] = static_cast<float>(static_cast<std::int32_t>(y >> 8)) * 0x1p-24f;
    }
    set_block(m_values.data(), m_values.data() + N);
}

std::uint32_t clock_seed()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local {};
    localtime_r(&t, &local);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    const long seconds = local.tm_hour * 3600L + local.tm_min * 60L + local.tm_sec;
    return static_cast<std::uint32_t>(seconds * 1000 + ms);
}

} // namespace quillora
