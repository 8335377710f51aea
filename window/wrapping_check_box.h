#pragma once

#include <QCheckBox>

namespace zirared {

// A check box whose caption wraps inside the control's width, centred vertically beside
// the box, and which toggles on a click anywhere in its rectangle. The design's check
// boxes are sized for a caption on two lines; QCheckBox would cut it off after one.
class WrappingCheckBox final : public QCheckBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WrappingCheckBox)

public:
    WrappingCheckBox(const QString& text, QWidget* parent);

    // Where the caption is drawn, in widget coordinates.
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;
};

}  // namespace zirared
