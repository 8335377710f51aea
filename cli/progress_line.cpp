#include "progress_line.h"

#include <time.h>

#include <algorithm>
#include <cstdio>

#include "piece_set.h"
#include "utf8.h"

namespace zirared {
namespace {

constexpr int kMaxBarWidth = 30;
constexpr int kMinBarWidth = 8;
constexpr std::int64_t kMinRateSampleMs = 100;
constexpr std::size_t kWidestTail = 17;  // "100%  9999,9 MB/s"

// Every character we show is one column wide, so columns = UTF-8 code points.
std::size_t DisplayWidth(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return !IsUtf8Continuation(c); }));
}

std::string TruncateToWidth(std::string text, std::size_t width) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsUtf8Continuation(text[i])) {
            if (seen == width) {
                text.resize(i);
                return text;
            }
            ++seen;
        }
    }
    return text;
}

std::string FormatRate(double bytesPerSecond) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f MB/s", bytesPerSecond / (1024.0 * 1024.0));
    std::string rate = buffer;
    std::replace(rate.begin(), rate.end(), '.', ',');  // Italian decimal comma
    return rate;
}

}  // namespace

std::string FormatProgressLine(const ProgressSnapshot& snapshot, int columns) {
    const std::size_t limit = columns > 1 ? static_cast<std::size_t>(columns - 1) : 0;
    std::string head(snapshot.status);
    if (!snapshot.barVisible) {
        return TruncateToWidth(std::move(head), limit);
    }
    const int percent = std::clamp(snapshot.percent, 0, 100);
    char percentText[8];
    std::snprintf(percentText, sizeof percentText, "%3d%%", percent);
    std::string tail = percentText;
    if (snapshot.bytesPerSecond >= 0) {
        tail += "  " + FormatRate(snapshot.bytesPerSecond);
    }
    if (!head.empty()) {
        head += "  ";
    }
    // Room for the widest tail, so the bar keeps its width once the rate appears.
    const std::size_t tailWidth = std::max(DisplayWidth(tail), kWidestTail);
    const std::size_t used = DisplayWidth(head) + tailWidth + 3;  // "[", "] "
    const int room = limit > used ? static_cast<int>(limit - used) : 0;
    const int barWidth = std::min(room, kMaxBarWidth);
    if (barWidth >= kMinBarWidth) {
        const int filled = barWidth * percent / 100;
        head += '[';
        head.append(static_cast<std::size_t>(filled), '#');
        head.append(static_cast<std::size_t>(barWidth - filled), '-');
        head += "] ";
    }
    return TruncateToWidth(head + tail, limit);
}

std::int64_t CoarseMonotonicMilliseconds() {
    timespec now{};
#ifdef CLOCK_MONOTONIC_COARSE
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);  // vDSO: no system call
#else
    clock_gettime(CLOCK_MONOTONIC, &now);
#endif
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

ProgressLine::ProgressLine(std::ostream& out, bool enabled, int columns, MillisecondClock clock)
    : m_out(out), m_enabled(enabled), m_columns(columns), m_clock(clock) {}

void ProgressLine::SetStatus(const std::string& text) {
    if (!m_enabled) {
        return;
    }
    m_status.assign(text);  // keeps its capacity: no allocation once warmed up
    m_dirty = true;
}

void ProgressLine::ShowBar() {
    if (!m_enabled) {
        return;
    }
    m_barVisible = true;
    m_percent = 0;
    m_blocks = 0;
    m_startMs = m_clock();
    m_nextDrawMs = m_startMs;
    m_dirty = true;
}

void ProgressLine::SetPercent(int percent) {
    m_percent = percent;
    m_dirty = true;
}

void ProgressLine::HideBar() {
    if (!m_enabled) {
        return;
    }
    if (m_drawnWidth > 0) {
        Commit();
    }
    m_barVisible = false;
    m_dirty = false;
}

void ProgressLine::CountBlock() {
    if (!m_enabled) {
        return;
    }
    ++m_blocks;
    const std::int64_t now = m_clock();
    if (now < m_nextDrawMs) {
        return;
    }
    m_nextDrawMs = now + kRedrawIntervalMs;
    if (HasContent()) {
        Draw();
    }
}

void ProgressLine::Commit() {
    if (!m_enabled) {
        return;
    }
    if (HasContent() && (m_dirty || m_drawnWidth > 0)) {
        Draw();
        m_out << "\n" << std::flush;
    } else if (m_drawnWidth > 0) {
        m_out << '\r' << std::string(m_drawnWidth, ' ') << '\r' << std::flush;
    }
    m_drawnWidth = 0;
    m_dirty = false;
}

void ProgressLine::Draw() {
    ProgressSnapshot snapshot;
    snapshot.status = m_status;
    snapshot.barVisible = m_barVisible;
    snapshot.percent = m_percent;
    const std::int64_t elapsedMs = m_clock() - m_startMs;
    if (m_barVisible && elapsedMs >= kMinRateSampleMs) {
        snapshot.bytesPerSecond =
            static_cast<double>(m_blocks * static_cast<std::int64_t>(kBlockBytes)) * 1000.0 /
            static_cast<double>(elapsedMs);
    }
    std::string line = "\r" + FormatProgressLine(snapshot, m_columns);
    const std::size_t width = DisplayWidth(line) - 1;
    if (width < m_drawnWidth) {
        line.append(m_drawnWidth - width, ' ');  // wipe what the longer line left behind
    }
    m_out << line << std::flush;
    m_drawnWidth = std::max(width, m_drawnWidth);
    m_dirty = false;
}

}  // namespace zirared
