#pragma once

#include <QLabel>
#include <QString>

class QWidget;

namespace zirared {

// A picture of the window design: a label showing an SVG resource at its size, drawn at the
// pixel density of the screen it is on, and drawn again when the window moves to another screen.
class SvgPicture final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SvgPicture)

public:
    SvgPicture(const QString& resourcePath, QWidget* parent);
    ~SvgPicture() override;

    // Draws the picture at the label's current size.
    void Redraw();

private:
    QString m_resourcePath;
};

}  // namespace zirared
