#include "usage_text.h"

#include "command_line.h"
#include "version.h"

namespace zirared {

std::string HelpText() {
    const std::string unit = std::to_string(kSizeUnitKB) + " KB";
    return "zirared-cli: divide un file di qualsiasi tipo in pezzi numerati e li riassembla\n"
           "\n"
           "Uso:\n"
           "  zirared-cli split [--size N] [--hash] [--yes] FILE\n"
           "  zirared-cli split [--size N] [--yes] --name NOME -\n"
           "  zirared-cli join [--yes] [--delete-pieces] [--no-verify] PRIMO_PEZZO\n"
           "  zirared-cli join [--no-verify] --output - PRIMO_PEZZO\n"
           "  zirared-cli check PRIMO_PEZZO\n"
           "  zirared-cli --help\n"
           "  zirared-cli --version\n"
           "\n"
           "Comandi:\n"
           "  split   divide FILE in pezzi di N × " +
           unit +
           " scritti nella stessa cartella:\n"
           "          gli ultimi tre caratteri del nome diventano il numero del pezzo\n"
           "          (report.doc dà report.000, report.001, ...)\n"
           "  join    riassembla il file originale a partire dal primo pezzo (.000);\n"
           "          se accanto ai pezzi c'è l'elenco di controllo (report.doc.sha256)\n"
           "          verifica ogni pezzo e il file ricostruito\n"
           "  check   controlla che la sequenza sia completa e coerente senza scrivere\n"
           "          nulla, ed elenca tutti i problemi trovati; con l'elenco di\n"
           "          controllo legge anche i dati e verifica ogni pezzo\n"
           "\n"
           "Opzioni:\n"
           "  --size N          dimensione dei pezzi in unità di " +
           unit + ", " + SizeRangeText() +
           "\n"
           "                    (predefinita 1, un dischetto da 3,5\")\n"
           "  --yes             risponde sì a ogni domanda\n"
           "  --hash            scrive anche l'elenco di controllo FILE.sha256 (SHA-256 di\n"
           "                    ogni pezzo e del file; si controlla anche con sha256sum -c)\n"
           "  --name NOME       divide l'ingresso standard (-) nei pezzi di NOME (nella\n"
           "                    cartella di NOME): tar c cartella | zirared-cli split\n"
           "                    --name backup.tar -\n"
           "  --delete-pieces   dopo l'assemblaggio elimina i pezzi (chiede conferma)\n"
           "  --no-verify       riassembla senza usare l'elenco di controllo\n"
           "  --output -        scrive il file riassemblato sull'uscita standard, senza\n"
           "                    scrivere nella cartella: zirared-cli join backup.000\n"
           "                    --output - | tar x; con l'elenco di controllo un errore\n"
           "                    arriva dopo i dati già scritti: controllare lo stato di uscita\n"
           "  --help            mostra questo aiuto\n"
           "  --version         mostra la versione\n"
           "\n"
           "Le domande si rispondono sul terminale con s (sì) o n (no); senza un terminale\n"
           "sull'ingresso e senza --yes la risposta è no.\n"
           "Ctrl-C durante la divisione la interrompe ed elimina i pezzi già scritti.\n"
           "Ctrl-C durante l'assemblaggio lo interrompe senza lasciare nulla: i pezzi\n"
           "restano intatti e un file con lo stesso nome resta com'era.\n"
           "Ctrl-C arrivato a operazione ormai completa termina il programma con SIGINT.\n"
           "\n"
           "Stato di uscita: 0 operazione completata (check: sequenza completa e coerente);\n"
           "1 operazione rifiutata, annullata, interrotta o fallita (check: problemi\n"
           "trovati), o testo non scritto sull'uscita; 2 errore nella riga di comando.\n";
}

std::string VersionText() {
    return "zirared-cli " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) +
           "." + std::to_string(kVersionRevision) + "\n";
}

std::string UsageHint() {
    return "Uso: zirared-cli split [--size N] [--hash] [--yes] FILE\n"
           "     zirared-cli split [--size N] [--yes] --name NOME -\n"
           "     zirared-cli join [--yes] [--delete-pieces] [--no-verify] PRIMO_PEZZO\n"
           "     zirared-cli join [--no-verify] --output - PRIMO_PEZZO\n"
           "     zirared-cli check PRIMO_PEZZO\n"
           "Per i dettagli: zirared-cli --help\n";
}

}  // namespace zirared
