#pragma once

#include <QPointer>
#include <cstdint>

#include "colour_value.h"

class QProgressBar;
class QWidget;

namespace zirared {

// The progress bar shown under the tab strip while an operation copies: a QProgressBar child
// (objectName "ProgBar") made and taken down at run time, range 0 to 100.
class CProgBar32 {
public:
    // Non-zero while a bar exists.
    using WindowHandle = std::uintptr_t;

    CProgBar32() = default;
    ~CProgBar32();
    CProgBar32(const CProgBar32&) = delete;
    CProgBar32& operator=(const CProgBar32&) = delete;

    WindowHandle hWnd() const;

    // When set, the bar is made in this widget and Create's `parent` is not looked at.
    void NoParentHwnd(QWidget* newParent);
    QWidget* NoParentHwnd() const { return m_parentOverride; }

    // Makes and shows a bar at (left, top) of its parent, in pixels. Width 0 takes the parent's
    // width, height 0 gives 20. False when there is neither an override nor a parent. A bar
    // left by an earlier Create is taken down first, so it cannot stay on screen unreachable.
    bool Create(QWidget* parent, int left, int top, int width, int height, bool smooth);
    // Takes the bar down; nothing happens when there is none.
    void Destroy();
    // Position back to 0.
    void Clear();

    // Orientation of the bars made by later Create calls; an existing bar keeps its own.
    void ProgVert(bool vertical);
    bool ProgVert() const { return m_orientationStyle != 0; }

    // Colours 0x00BBGGRR, applied to the bar's palette (groove and chunk) and kept.
    void BackColor(ColourValue newBackColor);
    ColourValue BackColor() const { return m_backColour; }
    void BarColor(ColourValue newBarColor);
    ColourValue BarColor() const { return m_barColour; }

    // Shown clamped to 0..100 (below 0 empty, above 100 full); repaints at once, and only when
    // the shown value changes. Reading returns the shown position, 0 without a bar.
    void Value(std::int16_t progPos);
    std::int16_t Value() const;

    // Lets pending events run, waits `milliseconds` (negative counts as 0), lets them run again.
    void Delay(std::int16_t milliseconds);

private:
    static constexpr std::uint32_t kVerticalStyle = 4;

    ColourValue m_backColour = 0;
    ColourValue m_barColour = 0;
    std::uint32_t m_orientationStyle = 0;
    QPointer<QProgressBar> m_bar;
    QPointer<QWidget> m_parentOverride;
};

}  // namespace zirared
