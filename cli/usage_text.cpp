#include "usage_text.h"

#include "command_line.h"
#include "version.h"

namespace zirared {
namespace {

// "                      fat32  pezzi appena sotto i 4 GiB, ...", one line per preset.
std::string PresetLines() {
    std::string lines;
    for (const SizePreset& preset : SizePresets()) {
        std::string name(preset.name);
        name.resize(7, ' ');
        lines += "                      " + name + std::string(preset.description) + "\n";
    }
    return lines;
}

}  // namespace

std::string HelpText() {
    const std::string unit = std::to_string(kSizeUnitKB) + " KB";
    return "zirared-cli: divide un file di qualsiasi tipo in pezzi numerati e li riassembla\n"
           "\n"
           "Uso:\n"
           "  zirared-cli split [--size N] [--plain] [--hash] [--yes] FILE\n"
           "  zirared-cli split [--size N] [--yes] --name NOME -\n"
           "  zirared-cli join [--yes] [--delete-pieces] [--no-verify] PRIMO_PEZZO\n"
           "  zirared-cli join [--no-verify] --output - PRIMO_PEZZO\n"
           "  zirared-cli check PRIMO_PEZZO\n"
           "  zirared-cli --help\n"
           "  zirared-cli --version\n"
           "\n"
           "Comandi:\n"
           "  split   divide FILE in pezzi della dimensione N (--size) scritti nella\n"
           "          stessa cartella:\n"
           "          gli ultimi tre caratteri del nome diventano il numero del pezzo\n"
           "          (report.doc dà report.000, report.001, ...); con --plain pezzi\n"
           "          senza intestazione report.doc.001, report.doc.002, ...\n"
           "  join    riassembla il file originale a partire dal primo pezzo (.000);\n"
           "          se accanto ai pezzi c'è l'elenco di controllo (report.doc.sha256)\n"
           "          verifica ogni pezzo e il file ricostruito. Riassembla anche le\n"
           "          sequenze semplici di altri programmi (FILE.001 o FILE.000, FILE.002,\n"
           "          ... senza intestazione, come quelle di split -d), verificate con\n"
           "          FILE.sha256 o FILE.md5 se ci sono\n"
           "  check   controlla che la sequenza sia completa e coerente senza scrivere\n"
           "          nulla, ed elenca tutti i problemi trovati; con l'elenco di\n"
           "          controllo legge anche i dati e verifica ogni pezzo\n"
           "\n"
           "Opzioni:\n"
           "  --size N          dimensione dei pezzi (predefinita 1, un dischetto da 3,5\"):\n"
           "                    un numero di unità di " +
           unit + ", " + SizeRangeText() +
           ";\n"
           "                    o al più tanti byte: 25M, 4G (K, M, G potenze di 1024),\n"
           "                    700MB (kB, MB, GB potenze di 1000), 1433616B (byte);\n"
           "                    o un nome:\n" +
           PresetLines() +
           "                    Un pezzo resta sotto i 4 GiB; ha tante unità intere\n"
           "                    quante ne entrano, intestazione di 16 byte compresa.\n"
           "                    Esempio: zirared-cli split --size cd film.mkv\n"
           "  --plain           pezzi senza intestazione, di esattamente la dimensione\n"
           "                    scelta: si riuniscono anche con cat FILE.0* > FILE\n"
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
    return "Uso: zirared-cli split [--size N] [--plain] [--hash] [--yes] FILE\n"
           "     zirared-cli split [--size N] [--yes] --name NOME -\n"
           "     zirared-cli join [--yes] [--delete-pieces] [--no-verify] PRIMO_PEZZO\n"
           "     zirared-cli join [--no-verify] --output - PRIMO_PEZZO\n"
           "     zirared-cli check PRIMO_PEZZO\n"
           "Per i dettagli: zirared-cli --help\n";
}

}  // namespace zirared
