#pragma once

class QPushButton;

namespace zirared {

// Enter and keypad Enter click `button` while it has the focus, as Space does. Qt's push
// buttons take Enter only inside a dialog; this window is none.
void LetEnterClick(QPushButton& button);

}  // namespace zirared
