#include "set_check_output.h"

namespace zirared {

void PrintSetCheckReport(const SetCheckReport& report, std::ostream& output) {
    for (const SetProblem& problem : report.problems) {
        output << "errore: " << problem.text << "\n";
    }
    for (const SetNote& note : report.notes) {
        output << "nota: " << note.text << "\n";
    }
    if (!report.rebuiltPath.empty()) {
        output << "File da ricostruire: " << report.rebuiltPath << " (" << report.rebuiltSize
               << " byte, " << report.pieceCount << " files)\n";
        if (report.rebuiltExists) {
            output << "Il file " << report.rebuiltPath
                   << " esiste già: l'assemblaggio chiederà se sovrascriverlo.\n";
        } else {
            output << "Il file " << report.rebuiltPath << " non esiste ancora.\n";
        }
    }
    if (report.IsConsistent()) {
        output << "La sequenza è completa e coerente.\n";
    } else {
        output << "La sequenza non può essere riassemblata: " << report.problems.size()
               << (report.problems.size() == 1 ? " problema.\n" : " problemi.\n");
    }
}

}  // namespace zirared
