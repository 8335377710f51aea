#include "split_rules.h"

#include <algorithm>

#include "message_text.h"
#include "path_queries.h"
#include "plain_set.h"
#include "shown_name.h"
#include "windows1252.h"

namespace zirared {
namespace {

std::string RenameAdvice() {
    return std::string(kLineBreak) + "Rinominare il file e riprovare.";
}

}  // namespace

PieceNaming NamePiecesAfter(const std::string& path) {
    const NameCut cut = CutLastThreeCharacters(path);
    if (cut.check == NameCheck::NameTooShort) {
        return {
            "Il file non può essere diviso: il nome del file deve avere almeno tre "
            "caratteri." +
                RenameAdvice(),
            {},
            {}};
    }
    // A suffix the join would refuse (a control character) is not written either.
    const auto suffix = cut.check == NameCheck::Ok && SuffixIsPlainName(cut.lastThree)
                            ? EncodeWindows1252(cut.lastThree)
                            : std::nullopt;
    if (!suffix) {
        return {
            "Il file non può essere diviso: gli ultimi tre caratteri del nome non possono "
            "essere scritti nell'intestazione dei files." +
                RenameAdvice(),
            {},
            {}};
    }
    PieceNaming naming{std::nullopt, cut.stem, {}};
    std::copy(suffix->begin(), suffix->end(), naming.suffix.begin());
    return naming;
}

PieceNaming NamePlainPiecesAfter(const std::string& path) {
    return {std::nullopt, path + ".", {}};
}

std::string TooSmallText() {
    return std::string(
               "Il file ha dimensioni minori rispetto alle dimensioni scelte per dividere "
               "il file!") +
           kLineBreak + "Modificare le impostazioni e riprovare.";
}

std::string AlreadySplitText() {
    return "Il file è già stato diviso in precedenza!";
}

std::string SourceNameTakenText() {
    return "Il file non può essere diviso: uno dei file da creare avrebbe lo stesso nome del "
           "file sorgente." +
           RenameAdvice();
}

std::string NameTooLongText(const std::string& path) {
    return "Il file non può essere diviso: il nome del file " + ShownName(path) +
           " è troppo lungo per la cartella." + RenameAdvice();
}

std::string TooManyPlainPiecesText() {
    return "Il file verrebbe diviso in più di " + std::to_string(kMaxPlainPieceCount) + " files!" +
           kLineBreak + "Scegliere una dimensione maggiore e riprovare.";
}

bool IsPieceOfSource(const std::string& path, const SuffixBytes& suffix) {
    const std::string head = LeadingBytes(path, kHeaderBytes).value_or("");
    const PieceHeader header = ParseHeader(head);
    return head.size() == kHeaderBytes && header.magicValid && header.suffix == suffix;
}

bool OverwriteAgreed(OperationServices& host, const std::vector<std::string>& paths) {
    return std::all_of(paths.begin(), paths.end(), [&host](const std::string& path) {
        return Ask(host, "Il file " + ShownName(path) + " esiste già!" + kLineBreak +
                             "Sovrascrivere il file?") == Answer::Yes;
    });
}

std::string SplitDoneStatus(int count) {
    return "Terminato: sono stati creati n° " + std::to_string(count) + " files";
}

std::string SplitDoneText(const std::string& fileName, int count) {
    return "Il file: " + ShownName(fileName) + kLineBreak + "é stato diviso in " +
           std::to_string(count) + " files.";
}

}  // namespace zirared
