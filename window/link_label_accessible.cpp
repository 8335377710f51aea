#include "link_label_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QString>
#include <QStringList>

#include "accessible_factory.h"
#include "link_label.h"

namespace zirared {
namespace {

class LinkLabelAccessible final : public QAccessibleWidget {
public:
    explicit LinkLabelAccessible(LinkLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return label()->text();
        }
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = true;
        return state;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override {
        if (actionName == pressAction()) {
            label()->activate();
        } else {
            QAccessibleWidget::doAction(actionName);
        }
    }

private:
    LinkLabel* label() const { return static_cast<LinkLabel*>(widget()); }
};

}  // namespace

void InstallLinkLabelAccessibility() {
    InstallAccessibleFactoryOnce<LinkLabel, LinkLabelAccessible>();
}

}  // namespace zirared
