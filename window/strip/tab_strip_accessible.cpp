#include "tab_strip_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>

#include "accessible_factory.h"
#include "tab_layout.h"
#include "tab_strip_constants.h"
#include "tab_strip_widget.h"

namespace zirared {
namespace {

// One drawn tab. It has no object of its own, so the strip's interface owns and registers it.
class PageTabAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PageTabAccessible(TabStripWidget* strip, int tab) : m_strip(strip), m_tab(tab) {}

    bool isValid() const override { return !m_strip.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return m_strip.isNull() ? nullptr : m_strip->window()->windowHandle();
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_strip.data());
    }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name ? TabTitle(m_tab) : QString();
    }
    void setText(QAccessible::Text /*kind*/, const QString& /*text*/) override {}
    QAccessible::Role role() const override { return QAccessible::PageTab; }

    QAccessible::State state() const override {
        QAccessible::State state;
        if (m_strip.isNull()) {
            state.invalid = true;
            return state;
        }
        const bool selected = m_strip->selectedTab() == m_tab;
        state.selectable = true;
        state.selected = selected;
        state.focusable = true;
        state.focused = selected && m_strip->hasFocus();
        state.invisible = !m_strip->isVisible();
        return state;
    }

    QRect rect() const override {
        if (m_strip.isNull()) {
            return {};
        }
        const TabGeometry& tab = m_strip->layout()[static_cast<std::size_t>(m_tab - 1)];
        return {m_strip->mapToGlobal(QPoint(tab.left, 0)), QSize(tab.width, kTabHeight + 1)};
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& actionName) override {
        if (actionName == pressAction() && !m_strip.isNull()) {
            m_strip->SelectTab(m_tab);
        }
    }
    QStringList keyBindingsForAction(const QString& /*actionName*/) const override { return {}; }

private:
    QPointer<TabStripWidget> m_strip;
    int m_tab;
};

// The strip: its page tabs first, in order, then its pages; the icons, highlight bars and click
// area are decoration that the tabs already speak for.
class TabStripAccessible final : public QAccessibleWidget {
public:
    explicit TabStripAccessible(TabStripWidget* strip)
        : QAccessibleWidget(strip, QAccessible::PageTabList) {}

    ~TabStripAccessible() override {
        for (const QAccessible::Id id : m_tabIds) {
            if (id != 0) {
                QAccessible::deleteAccessibleInterface(id);
            }
        }
    }
    TabStripAccessible(const TabStripAccessible&) = delete;
    TabStripAccessible& operator=(const TabStripAccessible&) = delete;

    int childCount() const override { return kTabCount + static_cast<int>(pages().size()); }

    QAccessibleInterface* child(int index) const override {
        if (index < 0) {
            return nullptr;
        }
        if (index < kTabCount) {
            QAccessible::Id& id = m_tabIds[static_cast<std::size_t>(index)];
            if (id == 0) {
                id = QAccessible::registerAccessibleInterface(
                    new PageTabAccessible(strip(), index + 1));
            }
            return QAccessible::accessibleInterface(id);
        }
        const QWidgetList shown = pages();
        const int page = index - kTabCount;
        return page < shown.size() ? QAccessible::queryAccessibleInterface(shown.at(page))
                                   : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr) {
            return -1;
        }
        for (int k = 0; k < kTabCount; ++k) {
            const QAccessible::Id id = m_tabIds[static_cast<std::size_t>(k)];
            if (id != 0 && QAccessible::accessibleInterface(id) == child) {
                return k;
            }
        }
        const int page = pages().indexOf(qobject_cast<QWidget*>(child->object()));
        return page < 0 ? -1 : kTabCount + page;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        for (int index = 0; index < childCount(); ++index) {
            QAccessibleInterface* candidate = child(index);
            if (candidate != nullptr && !candidate->state().invisible &&
                candidate->rect().contains(x, y)) {
                return candidate;
            }
        }
        return nullptr;
    }

    // The focused strip speaks as its selected tab.
    QAccessibleInterface* focusChild() const override {
        if (strip()->hasFocus() && strip()->selectedTab() >= 1) {
            return child(strip()->selectedTab() - 1);
        }
        return QAccessibleWidget::focusChild();
    }

private:
    TabStripWidget* strip() const { return static_cast<TabStripWidget*>(widget()); }

    QWidgetList pages() const {
        QWidgetList present;
        for (QWidget* page : strip()->pages()) {
            if (page != nullptr) {
                present << page;
            }
        }
        return present;
    }

    mutable std::array<QAccessible::Id, kTabCount> m_tabIds{};
};

}  // namespace

void InstallTabStripAccessibility() {
    InstallAccessibleFactoryOnce<TabStripWidget, TabStripAccessible>();
}

}  // namespace zirared
