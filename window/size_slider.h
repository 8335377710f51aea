#pragma once

#include <QScrollBar>

class QFocusEvent;
class QKeyEvent;
class QPaintEvent;

namespace zirared {

// The size slider `HScroll1`: a horizontal scroll bar, as designed, that the keyboard drives
// as a slider. Right and Up add a step, Left and Down take one away, PageUp and PageDown a page
// step, Home and End go to the ends (keypad keys too). A scroll bar's own keys run the other way
// for Left and Right, against its arrows and its value. With the keyboard in use a dotted focus
// mark shows inside the thumb; screen readers see a slider whose value reads as the size label
// does.
class SizeSlider final : public QScrollBar {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SizeSlider)

public:
    explicit SizeSlider(QWidget* parent = nullptr);
    ~SizeSlider() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_keyUsed = false;  // since the slider last took the focus
};

}  // namespace zirared
