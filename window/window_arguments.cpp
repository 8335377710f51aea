#include "window_arguments.h"

#include <QFile>
#include <algorithm>

#include "version.h"

namespace zirared {

namespace {

const QByteArray kEndOfOptions = "--";

bool IsHelp(const QByteArray& argument) {
    return argument == "--help" || argument == "-h";
}

bool IsVersion(const QByteArray& argument) {
    return argument == "--version";
}

// "-" alone is an ordinary (if unlikely) file name, as for most programs.
bool IsOption(const QByteArray& argument) {
    return argument.size() > 1 && argument.startsWith('-');
}

}  // namespace

WindowArguments ParseWindowArguments(const QByteArrayList& arguments) {
    const qsizetype end = arguments.indexOf(kEndOfOptions);
    const QByteArrayList options = end < 0 ? arguments : arguments.first(end);
    if (std::any_of(options.begin(), options.end(), IsHelp)) {
        return {WindowCommand::Help, {}, {}};
    }
    if (std::any_of(options.begin(), options.end(), IsVersion)) {
        return {WindowCommand::Version, {}, {}};
    }
    QByteArrayList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (i == end) {
            continue;
        }
        const bool optionsAllowed = end < 0 || i < end;
        if (optionsAllowed && IsOption(arguments[i])) {
            return {WindowCommand::UsageError,
                    {},
                    QStringLiteral("opzione sconosciuta: ") + QFile::decodeName(arguments[i])};
        }
        files.append(arguments[i]);
    }
    if (files.isEmpty()) {
        return {WindowCommand::Start, {}, {}};
    }
    if (files.size() > 1) {
        return {WindowCommand::UsageError,
                {},
                QStringLiteral("un solo file alla volta (ricevuti %1)").arg(files.size())};
    }
    if (files.front().isEmpty()) {
        return {WindowCommand::UsageError, {}, QStringLiteral("nome di file vuoto")};
    }
    return {WindowCommand::Open, files.front(), {}};
}

QString WindowHelpText() {
    return QStringLiteral(
        "zirared: divide un file di qualsiasi tipo in pezzi numerati e li riassembla\n"
        "\n"
        "Uso:\n"
        "  zirared [FILE]\n"
        "  zirared --help\n"
        "  zirared --version\n"
        "\n"
        "Senza FILE si apre la finestra. Con FILE la finestra lo accoglie come se vi fosse\n"
        "stato trascinato: un pezzo (un file che inizia con VAVOVOZ) va in \"Assembla Files\"\n"
        "e il suo assemblaggio parte subito; qualsiasi altro file va in \"Dividi File\" e la\n"
        "divisione chiede conferma.\n"
        "Se Zirared è già in esecuzione, FILE passa alla finestra aperta, anche senza\n"
        "schermo, e questo comando termina; senza FILE un secondo avvio porta in primo\n"
        "piano la finestra aperta, lo segnala e termina.\n"
        "\n"
        "Opzioni:\n"
        "  --help      mostra questo aiuto\n"
        "  --version   mostra la versione\n"
        "  --          quanto segue è un nome di file, anche se inizia con -\n"
        "\n"
        "Valgono anche le opzioni standard di Qt (per esempio -platform xcb).\n"
        "Per dividere e riassemblare dal terminale: zirared-cli --help\n"
        "\n"
        "Senza sessione grafica una riga dice quale comando di zirared-cli fa lo stesso.\n"
        "\n"
        "Stato di uscita: 0 finestra chiusa, file preso dalla finestra aperta, aiuto o\n"
        "versione; 1 file non preso dalla finestra aperta, o nessuna sessione grafica;\n"
        "2 errore nella riga di comando.\n");
}

QString WindowVersionText() {
    return QStringLiteral("zirared %1.%2.%3\n")
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionRevision);
}

QString WindowUsageHint() {
    return QStringLiteral("Uso: zirared [FILE]\nPer i dettagli: zirared --help\n");
}

}  // namespace zirared
