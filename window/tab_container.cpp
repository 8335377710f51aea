#include "tab_container.h"

namespace zirared {

TabContainer* CreateTabContainer(QWidget& form) {
    return new TabContainer(&form);
}

void ShowPage(TabContainer& container, int index) {
    container.SelectTab(index + 1);
}

}  // namespace zirared
