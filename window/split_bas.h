#pragma once

#include <QString>
#include <memory>

class QWidget;

namespace zirared {

class Dialogs;

namespace SplitBas {

// Makes the dialogs every message and file chooser goes through.
using DialogsFactory = std::unique_ptr<Dialogs> (*)();

// The program's start, its messages shown by what `createDialogs` makes. --help and --version
// answer without a display; anything else without one says in a line what to use instead,
// but still hands a file to a running copy. One copy per user: a second start with a file
// hands the file to the running copy and ends with 0 only when it was taken; one without brings
// the running copy to the front and says that it runs; both end without a window. A file given
// to the first copy is opened as if it had been dropped, once the window is on screen.
int Main(int argc, char* argv[], DialogsFactory createDialogs);

// Shows the open-file dialog. `filter` is one entry, caption NUL pattern NUL. On this
// platform "*.*" would hide files without a dot in their name, so it lists everything.
// Returns the chosen path (any length), or an empty string when nothing was chosen.
QString ShowOpenFileDialog(Dialogs& dialogs, QWidget* owner, const QString& title,
                           const QString& initialFileName, const QString& filter,
                           const QString& initialDirectory, const QString& defaultExtension);

}  // namespace SplitBas

}  // namespace zirared
