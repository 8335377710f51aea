#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace zirared {

// Makes the program's compiled-in resources reachable; safe to call more than once.
void EnsureResourcesLoaded();

// The SVG resource rendered at exactly `size` pixels (transparent where the picture is).
QPixmap SvgPixmap(const QString& resourcePath, QSize size);

// The program icon in the sizes window managers ask for.
QIcon ProgramIcon();

}  // namespace zirared
