#include "help_bas.h"

#include <array>

namespace zirared::HelpBas {

namespace {

struct HelpPiece {
    const char* text;  // UTF-8
    int lineBreaksAfter;
};

// Several pieces begin or end with a blank that joins them to their neighbours; the
// double blanks this leaves inside two lines are part of the text.
// clang-format off
constexpr std::array<HelpPiece, 18> kHelpPieces{{
    {" - Zirared", 2},
    {"Zirared è una applicazione che ha lo scopo di suddividere un file (di qualunque tipo esso sia) in altri di ", 0},
    {"dimensioni minori. Questa operazione può essere utile, o addirittura necessaria (basti pensare ai limiti di ", 0},
    {"alcune mailbox), per consentire (o semplificare) la trasmissione o il trasporto di files particolarmente ", 0},
    {"voluminosi (in termini di MB).", 2},
    {"Per dividere un file: dalla sezione 'Dividi File'", 1},
    {"  1) impostare le dimensioni dei files da creare", 1},
    {"  2) selezionare il file da suddividere", 1},
    {"Dopo aver risposto sì alla richiesta di conferma dell'operazione, Zirared inizierà a creare i nuovi files in ", 0},
    {"base alle impostazioni scelte. Al termine dell'operazione, nella stessa directory (cartella) dove si trova il file ", 0},
    {" utilizzato come sorgente, saranno presenti tutti i files, numerati con estensione da .000 a .nnn, che ", 0},
    {"serviranno a ricomporre successivamente il file principale. Anche se questo file non viene mai modificato ", 0},
    {"durante le operazioni di suddivisione, per maggior sicurezza si consiglia vivamente di effettuare sempre una  ", 0},
    {"copia di backup dello stesso.", 2},
    {"Per assemblare un file: dalla sezione 'Assembla Files'", 2},
    {"  1) selezionare il percorso nel quale si trovano tutti i files da assemblare", 1},
    {"  2) scegliere il file principale (con estensione .000)", 2},
    {"Il file originale verrà ricreato nella stessa directory dove sono presenti i files utilizzati per l'assemblaggio del file.", 0},
}};
// clang-format on

}  // namespace

QString GetHelpText() {
    QString text;
    for (const HelpPiece& piece : kHelpPieces) {
        text += QString::fromUtf8(piece.text);
        for (int i = 0; i < piece.lineBreaksAfter; ++i) {
            text += QStringLiteral("\r\n");
        }
    }
    return text;
}

}  // namespace zirared::HelpBas
