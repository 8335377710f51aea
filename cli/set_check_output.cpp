#include "set_check_output.h"

#include "shown_name.h"
#include "terminal_text.h"

namespace zirared {

void PrintSetCheckReport(const SetCheckReport& report, std::ostream& output) {
    for (const SetProblem& problem : report.problems) {
        output << "errore: " << ForTerminal(problem.text) << "\n";
    }
    for (const SetNote& note : report.notes) {
        output << "nota: " << ForTerminal(note.text) << "\n";
    }
    if (!report.rebuiltPath.empty()) {
        output << "File da ricostruire: " << ShownName(report.rebuiltPath) << " ("
               << report.rebuiltSize << " byte, " << report.pieceCount << " files)\n";
        if (report.rebuiltExists) {
            output << "Il file " << ShownName(report.rebuiltPath)
                   << " esiste già: l'assemblaggio chiederà se sovrascriverlo.\n";
        } else {
            output << "Il file " << ShownName(report.rebuiltPath) << " non esiste ancora.\n";
        }
    }
    if (!report.listPath.empty()) {
        output << "Pezzi verificati con l'elenco di controllo " << ShownName(report.listPath)
               << ": " << report.verifiedPieces << " di " << report.pieceCount << ".\n";
    }
    output << CheckVerdictText(report) << "\n";
}

}  // namespace zirared
