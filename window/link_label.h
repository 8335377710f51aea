#pragma once

#include <QLabel>
#include <QString>

class QKeyEvent;
class QMouseEvent;
class QPaintEvent;
class QWidget;

namespace zirared {

// A label that acts as a link: a left click released over it, or Enter or Space while it has
// the keyboard focus, emits activated(). It takes the focus by Tab only and then shows the
// style's focus frame around its text; screen readers see it as a link.
class LinkLabel final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkLabel)

public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);
    ~LinkLabel() override;

    // Opens the link as a click would.
    void activate();

signals:
    void activated();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace zirared
