#include "progress_meter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zirared {

ProgressMeter::ProgressMeter(std::int64_t operationBytes)
    : m_singlePrecision(operationBytes <= std::numeric_limits<std::int32_t>::max()) {}

void ProgressMeter::SetStepDenominator(std::int64_t denominator) {
    m_fill = denominator == 0;
    if (m_fill) {
        return;
    }
    m_singleStep = 100.0F / static_cast<float>(denominator);
    m_doubleStep = 100.0 / static_cast<double>(denominator);
}

std::int16_t ProgressMeter::Advance() {
    // nearbyint rounds halves to even in the default rounding mode.
    if (m_singlePrecision) {
        m_singleTotal = m_fill ? std::max(m_singleTotal, 100.0F) : m_singleTotal + m_singleStep;
        const float rounded = std::nearbyint(m_singleTotal);
        return static_cast<std::int16_t>(std::clamp(rounded, -32768.0F, 32767.0F));
    }
    m_doubleTotal = m_fill ? std::max(m_doubleTotal, 100.0) : m_doubleTotal + m_doubleStep;
    return static_cast<std::int16_t>(std::clamp(std::nearbyint(m_doubleTotal), 0.0, 100.0));
}

}  // namespace zirared
