#pragma once

#include <QAccessible>
#include <QLatin1String>
#include <QObject>
#include <QString>

namespace zirared {

// Qt's accessibility asks its factories for every object, by class name from the most derived
// class up: this one answers for objects of exactly class `Widget`, with an `Interface` made
// on the widget.
template <typename Widget, typename Interface>
QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object) {
    if (className != QLatin1String(Widget::staticMetaObject.className())) {
        return nullptr;
    }
    auto* widget = qobject_cast<Widget*>(object);
    return widget != nullptr ? new Interface(widget) : nullptr;
}

// Installs that factory on the first call; later calls do nothing.
template <typename Widget, typename Interface>
void InstallAccessibleFactoryOnce() {
    static const bool installed = [] {
        QAccessible::installFactory(&AccessibleFactory<Widget, Interface>);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace zirared
