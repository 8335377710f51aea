#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace zirared {

// What one drawing of the progress line shows.
struct ProgressSnapshot {
    std::string_view status;
    bool barVisible = false;
    int percent = 0;               // shown clamped to 0..100
    double bytesPerSecond = -1.0;  // negative: not known yet
};

// One terminal line, at most columns - 1 characters so that it never wraps.
std::string FormatProgressLine(const ProgressSnapshot& snapshot, int columns);

// Milliseconds of a monotonic clock; replaceable in tests.
using MillisecondClock = std::int64_t (*)();
std::int64_t CoarseMonotonicMilliseconds();

// The status text and the bar, redrawn in place on a terminal. The engine reports
// once per copied block, so everything but a due redraw stays free of system calls
// and allocations.
class ProgressLine {
public:
    static constexpr std::int64_t kRedrawIntervalMs = 250;

    ProgressLine(std::ostream& out, bool enabled, int columns,
                 MillisecondClock clock = CoarseMonotonicMilliseconds);

    void SetStatus(const std::string& text);
    void ShowBar();
    void SetPercent(int percent);
    void HideBar();
    // Called once per copied block; draws when the last drawing is old enough.
    void CountBlock();
    // Leaves the latest state on screen and moves to a fresh line, so that a message
    // printed next does not mix with the bar.
    void Commit();

private:
    bool HasContent() const { return m_barVisible || !m_status.empty(); }
    void Draw();

    std::ostream& m_out;
    bool m_enabled;
    int m_columns;
    MillisecondClock m_clock;
    std::string m_status;
    bool m_barVisible = false;
    int m_percent = 0;
    bool m_dirty = false;
    std::size_t m_drawnWidth = 0;
    std::int64_t m_blocks = 0;
    std::int64_t m_startMs = 0;
    std::int64_t m_nextDrawMs = 0;
};

}  // namespace zirared
