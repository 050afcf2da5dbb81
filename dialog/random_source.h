#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace quillora {

/// A source of uniform single-precision values r with 0 <= r < 1, one fresh value per draw.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    /// The next value r, 0 <= r < 1.
    virtual float next() = 0;
};

/// The production source: std::mt19937 seeded once with the run's seed; r = (g() >> 8) * 2^-24,
/// which is exact in a float and never reaches 1.
class Mt19937Source final : public RandomSource {
public:
    explicit Mt19937Source(std::uint32_t seed);
    float next() override;

private:
    std::mt19937 m_engine;
};

/// Hands out listed values in order, for tests; throws std::logic_error when it runs out.
class ScriptedSource final : public RandomSource {
public:
    explicit ScriptedSource(std::vector<float> values);
    float next() override;
    std::size_t remaining() const { return m_values.size() - m_next; }

private:
    std::vector<float> m_values;
    std::size_t m_next = 0;
};

/// floor(n * r) + m, computed in double precision: each of m .. m + n - 1 equally likely.
inline int draw(RandomSource& random, int n, int m)
{
    const double r = static_cast<double>(random.next());
    return static_cast<int>(std::floor(n * r)) + m;
}

/// The clock seed: milliseconds since local midnight (0 to 86,399,999).
std::uint32_t clock_seed();

} // namespace quillora
