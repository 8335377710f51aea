#pragma once

#include <cstdint>

namespace zirared {

// The bar value of an operation: a running total that grows by one step per block.
//
// Up to 2,147,483,647 bytes the total is kept in single precision, exactly as the bar has
// always moved (a last partial block can carry it to 101). Beyond that single precision
// drifts (a 57 GB split would end near 96), so larger operations keep the total in double
// precision and clamp the value to 0..100.
class ProgressMeter {
public:
    explicit ProgressMeter(std::int64_t operationBytes);

    // step = 100 / denominator. A denominator of 0 (an assembly's last piece too short to
    // measure) fills the bar instead: it would otherwise stay at the earlier pieces' share.
    void SetStepDenominator(std::int64_t denominator);
    // Adds the step and returns the total rounded to the nearest integer, halves to even.
    std::int16_t Advance();

private:
    bool m_singlePrecision;
    bool m_fill = false;
    float m_singleStep = 0.0F;
    float m_singleTotal = 0.0F;
    double m_doubleStep = 0.0;
    double m_doubleTotal = 0.0;
};

}  // namespace zirared
