#pragma once

#include <QString>
#include <QStringList>

namespace zirared {

enum class WindowCommand { Start, Open, Help, Version, UsageError };

// What the command line of the window asks for. Open carries the file in `path` as given;
// UsageError carries the Italian reason in `error`.
struct WindowArguments {
    WindowCommand command = WindowCommand::Start;
    QString path;
    QString error;
};

// `arguments` excludes the program name. --help and --version win wherever they stand
// before "--", so they work even next to options only Qt would understand; everything
// after "--" is a file name.
WindowArguments ParseWindowArguments(const QStringList& arguments);

// The texts of --help and --version, each ending with a line break.
QString WindowHelpText();
QString WindowVersionText();
QString WindowUsageHint();

}  // namespace zirared
