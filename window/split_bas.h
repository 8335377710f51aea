#pragma once

#include <QString>

class QWidget;

namespace zirared {

class Dialogs;

namespace SplitBas {

// The program's start: one copy per user; a second start says so and ends with status 0
// without a window. Command-line arguments other than Qt's own are ignored.
int Main(int argc, char* argv[]);

// Shows the open-file dialog. `filter` is one entry, caption NUL pattern NUL. On this
// platform "*.*" would hide files without a dot in their name, so it lists everything.
// Returns the chosen path (any length), or an empty string when nothing was chosen.
QString ShowOpenFileDialog(Dialogs& dialogs, QWidget* owner, const QString& title,
                           const QString& initialFileName, const QString& filter,
                           const QString& initialDirectory, const QString& defaultExtension);

}  // namespace SplitBas

}  // namespace zirared
