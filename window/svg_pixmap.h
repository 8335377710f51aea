#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace zirared {

// Makes the program's compiled-in resources reachable; safe to call more than once.
void EnsureResourcesLoaded();

// The SVG resource rendered at exactly `size` pixels (transparent where the picture is not),
// times `devicePixelRatio` device pixels, so that it stays sharp on a dense screen.
QPixmap SvgPixmap(const QString& resourcePath, QSize size, qreal devicePixelRatio = 1.0);

// The program icon in the sizes window managers ask for.
QIcon ProgramIcon();

}  // namespace zirared
