#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <string>

#include "help_bas.h"
#include "scripted_dialogs.h"
#include "splitta_file.h"

namespace zirared {
namespace {

// The instructions as users read them: fifteen lines, CR LF between them and none after the
// last; blanks where the text's pieces meet are kept ("il file  utilizzato", "una  copia").
const std::string kHelpText =
    " - Zirared\r\n"
    "\r\n"
    "Zirared è una applicazione che ha lo scopo di suddividere un file (di qualunque tipo esso "
    "sia) in altri di dimensioni minori. Questa operazione può essere utile, o addirittura "
    "necessaria (basti pensare ai limiti di alcune mailbox), per consentire (o semplificare) la "
    "trasmissione o il trasporto di files particolarmente voluminosi (in termini di MB).\r\n"
    "\r\n"
    "Per dividere un file: dalla sezione 'Dividi File'\r\n"
    "  1) impostare le dimensioni dei files da creare\r\n"
    "  2) selezionare il file da suddividere\r\n"
    "Dopo aver risposto sì alla richiesta di conferma dell'operazione, Zirared inizierà a creare "
    "i nuovi files in base alle impostazioni scelte. Al termine dell'operazione, nella stessa "
    "directory (cartella) dove si trova il file  utilizzato come sorgente, saranno presenti "
    "tutti i files, numerati con estensione da .000 a .nnn, che serviranno a ricomporre "
    "successivamente il file principale. Anche se questo file non viene mai modificato durante "
    "le operazioni di suddivisione, per maggior sicurezza si consiglia vivamente di effettuare "
    "sempre una  copia di backup dello stesso.\r\n"
    "\r\n"
    "Per assemblare un file: dalla sezione 'Assembla Files'\r\n"
    "\r\n"
    "  1) selezionare il percorso nel quale si trovano tutti i files da assemblare\r\n"
    "  2) scegliere il file principale (con estensione .000)\r\n"
    "\r\n"
    "Il file originale verrà ricreato nella stessa directory dove sono presenti i files "
    "utilizzati per l'assemblaggio del file.";

TEST(HelpText, IsTheWholeTextWithItsBlanksAndBreaks) {
    EXPECT_EQ(HelpBas::GetHelpText().toStdString(), kHelpText);
}

TEST(HelpText, TheTextBoxShowsItWholeWithItsAccentedLetters) {
    ScriptedDialogs dialogs;
    SplittaFile window(dialogs);
    const QString shown = window.design().txtHelp->toPlainText();
    EXPECT_EQ(shown.toStdString(), QString::fromStdString(kHelpText)
                                       .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                       .toStdString());
}

}  // namespace
}  // namespace zirared
