#pragma once

#include <QString>

namespace zirared {

// "Versione " + major.revision.minor, as the information page shows it.
QString VersionLabelText(int major, int minor, int revision);
QString VersionLabelText();

// mailto link whose subject carries the program name and major.minor.revision.
QString ContactMailLink(int major, int minor, int revision);
QString ContactMailLink();

}  // namespace zirared
