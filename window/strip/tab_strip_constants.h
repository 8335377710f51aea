#pragma once

#include <QSize>
#include <array>

#include "colour_value.h"

namespace zirared {

inline constexpr int kTabCount = 3;
inline constexpr QSize kStripSize{320, 180};
inline constexpr int kStripTop = 6;
// Height of the tab band; also the row of the baseline under the tabs.
inline constexpr int kTabHeight = 26;
// Blank pixels on each side of a caption.
inline constexpr int kCaptionMargin = 16;
inline constexpr int kGapBetweenTabs = 1;
inline constexpr int kPageLeft = 1;
inline constexpr int kPageTop = 27;
// The click area keeps its design left and width; its top and height follow the tab band.
inline constexpr int kClickAreaLeft = 0;
inline constexpr int kClickAreaWidth = 312;

inline constexpr ColourValue kOutlineColour = 0x00B4A791u;
inline constexpr ColourValue kStripBackground = kButtonFaceColour;
inline constexpr ColourValue kCaptionColour = kButtonTextColour;
inline constexpr int kTabDarkening = 10;
inline constexpr int kShadowDarkening = 10;
inline constexpr std::array<ColourValue, 3> kHighlightColours{0x0000A9F9u, 0x0056C4F6u,
                                                              0x0056C4F6u};

// The leading blanks leave room for the tab's icon and keep the caption's top-left pixel on
// background, where the tab's fill is seeded.
inline constexpr std::array<const char*, kTabCount> kTabCaptions{
    "     Dividi File", "     Assembla Files", "    Informazioni"};

// 16 x 16 icons at fixed places, lined up with the tabs for the strip's font.
struct TabIcon {
    const char* objectName;
    const char* resourcePath;
    int left;
    int top;
    const char* description;  // UTF-8, what screen readers say for the picture
};
inline constexpr int kTabIconSize = 16;
inline constexpr std::array<TabIcon, kTabCount> kTabIcons{
    TabIcon{"Image5", ":/zirared/image5.svg", 6, 7, "Foglio strappato in due"},
    TabIcon{"Image14", ":/zirared/image14.svg", 97, 7, "Foglio intero"},
    TabIcon{"Image15", ":/zirared/image15.svg", 218, 7, "Libro della guida"},
};

}  // namespace zirared
