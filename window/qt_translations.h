#pragma once

class QCoreApplication;
class QTranslator;

namespace zirared {

// Installs Qt's own Italian texts (standard buttons, the file dialog) into `application`,
// whatever the desktop's language: the program's texts are Italian, and Qt's must match them.
// The translator belongs to the application. Returns it, or nullptr when Qt's Italian
// translations are not installed (Debian: qt6-translations-l10n); Qt's English stays then.
QTranslator* InstallItalianQtTranslations(QCoreApplication& application);

}  // namespace zirared
