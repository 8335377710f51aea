#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

namespace zirared {

enum class WindowCommand { Start, Open, Help, Version, UsageError };

// What the command line of the window asks for. Open carries the file in `path` as given,
// in the file system's bytes; UsageError carries the Italian reason in `error`.
struct WindowArguments {
    WindowCommand command = WindowCommand::Start;
    QByteArray path;
    QString error;
};

// `arguments` excludes the program name and are argv's own bytes: a file name need not be
// valid UTF-8. --help and --version win wherever they stand
// before "--", so they work even next to options only Qt would understand; everything
// after "--" is a file name.
WindowArguments ParseWindowArguments(const QByteArrayList& arguments);

// The texts of --help and --version, each ending with a line break.
QString WindowHelpText();
QString WindowVersionText();
QString WindowUsageHint();

}  // namespace zirared
