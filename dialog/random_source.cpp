#include "dialog/random_source.h"

#include <chrono>
#include <ctime>
#include <stdexcept>
#include <string>

namespace quillora {

Mt19937Source::Mt19937Source(std::uint32_t seed)
    : m_engine(seed)
{
}

float Mt19937Source::next()
{
    // 24 bits fill a float's mantissa exactly, so the value is never rounded up to 1.
    return static_cast<float>(m_engine() >> 8) * 0x1p-24f;
}

ScriptedSource::ScriptedSource(std::vector<float> values)
    : m_values(std::move(values))
{
}

float ScriptedSource::next()
{
    if (m_next >= m_values.size())
        throw std::logic_error(
            "scripted random source ran out after " + std::to_string(m_values.size()) + " values");
    return m_values[m_next++];
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
