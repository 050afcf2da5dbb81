#pragma once

#include "engine/random_source.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace quillora::test {

/// Hands out listed values in order; throws std::logic_error when it runs out.
class ScriptedSource final : public RandomSource {
public:
    explicit ScriptedSource(std::vector<float> values)
        : m_values(std::move(values))
    {
        set_block(m_values.data(), m_values.data() + m_values.size());
    }
    std::size_t remaining() const { return buffered(); }

private:
    void refill() override
    {
        throw std::logic_error(
            "scripted random source ran out after " + std::to_string(m_values.size()) + " values");
    }
    std::vector<float> m_values;
};

} // namespace quillora::test
