#include "size_slider_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QVariant>

#include "accessible_factory.h"
#include "size_label.h"
#include "size_slider.h"

namespace zirared {
namespace {

class SizeSliderAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SizeSliderAccessible(SizeSlider* slider)
        : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return SizeLabelText(slider()->value());
        }
        return QAccessibleWidget::text(kind);
    }

    QVariant currentValue() const override { return slider()->value(); }
    void setCurrentValue(const QVariant& value) override { slider()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return slider()->maximum(); }
    QVariant minimumValue() const override { return slider()->minimum(); }
    QVariant minimumStepSize() const override { return slider()->singleStep(); }

private:
    SizeSlider* slider() const { return static_cast<SizeSlider*>(widget()); }
};

}  // namespace

void InstallSizeSliderAccessibility() {
    InstallAccessibleFactoryOnce<SizeSlider, SizeSliderAccessible>();
}

}  // namespace zirared
