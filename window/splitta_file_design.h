#pragma once

#include <array>

#include "link_label.h"
#include "tab_container.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QWidget;

namespace zirared {

// The window's controls as designed, named as in the design (each objectName is the
// field name; array members get "_index"). Building them sets geometry, texts, tooltips,
// fonts, colours and start visibility; behaviour is wired elsewhere.
struct SplittaFileDesign {
    TabContainer* picTabContainer = nullptr;
    std::array<QWidget*, 3> pictab{};

    // Split page.
    QLabel* Label1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QLabel* lblDimFile = nullptr;
    QLabel* Image3 = nullptr;
    std::array<QPushButton*, 2> cmdOpen{};
    QPushButton* cmdStop = nullptr;
    QLabel* lblWorkProgress = nullptr;

    // Assemble page.
    QLabel* Image2 = nullptr;
    QCheckBox* chkKillFile = nullptr;
    QLabel* lblWorkProgress1 = nullptr;

    // Information page.
    QLabel* Image1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblInfo = nullptr;
    QLabel* Label4 = nullptr;
    std::array<QFrame*, 2> Line1{};
    QLabel* Image4 = nullptr;
    QLabel* Label5 = nullptr;
    LinkLabel* lblemail = nullptr;
    QLabel* Label6 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPlainTextEdit* txtHelp = nullptr;
};

inline constexpr int kClientWidth = 349;
inline constexpr int kClientHeight = 213;

// Builds every control inside `form` (which becomes 349 × 213, fixed) and sets the tab order.
SplittaFileDesign BuildSplittaFileDesign(QWidget& form);

}  // namespace zirared
