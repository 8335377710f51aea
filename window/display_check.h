#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

namespace zirared {

// What the environment says about where windows go.
struct DisplayEnvironment {
    QByteArray display;         // DISPLAY
    QByteArray waylandDisplay;  // WAYLAND_DISPLAY
    QByteArray qpaPlatform;     // QT_QPA_PLATFORM
};
DisplayEnvironment ProcessDisplayEnvironment();

// True when Qt would look for a display that nothing names: neither DISPLAY, WAYLAND_DISPLAY
// nor -display, and no platform chosen (QT_QPA_PLATFORM, -platform) that may need none.
// `arguments` are the command line's, Qt's options still among them.
bool DisplayMissing(const QByteArrayList& arguments, const DisplayEnvironment& environment);

// The one line the window prints instead of starting without a display: what it needs, and
// the terminal command that does the same for `file` (as given; empty: none), a split or, for
// a piece, a join.
QString NoDisplayText(const QByteArray& file, bool isPiece);

// Held while the QApplication is made: when Qt finds no display there after all (a DISPLAY
// that nobody answers), `line` is printed and the process ends with status 1, instead of
// Qt's abort. Qt's own messages meanwhile wait, and are printed once the guard goes. One
// guard at a time.
class DisplayFailureGuard {
public:
    explicit DisplayFailureGuard(const QString& line);
    ~DisplayFailureGuard();
    DisplayFailureGuard(const DisplayFailureGuard&) = delete;
    DisplayFailureGuard& operator=(const DisplayFailureGuard&) = delete;
};

}  // namespace zirared
