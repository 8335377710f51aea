#pragma once

#include <string>

namespace zirared {

// The full Italian help shown by --help.
std::string HelpText();

// "zirared-cli 2.0.0": the program's version as major.minor.revision.
std::string VersionText();

// The short hint printed after a usage error.
std::string UsageHint();

}  // namespace zirared
