#pragma once

#include <QString>

namespace zirared::HelpBas {

// The instructions for use shown in txtHelp: 15 lines joined by CR LF, none after the last.
QString GetHelpText();

}  // namespace zirared::HelpBas
