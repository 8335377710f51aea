#include "piece_verdict_text.h"

#include "message_text.h"
#include "shown_name.h"

namespace zirared {
namespace {

constexpr const char* kNotAPiece =
    "non è un file splittato oppure è stata modificata l'estensione!";

}  // namespace

std::string PieceVerdictSentence(PieceVerdict verdict, const std::string& path) {
    const std::string quoted = "Il file '" + ShownName(path) + "'";
    switch (verdict) {
        case PieceVerdict::Fits:
            break;
        case PieceVerdict::NotAPiece:
            return quoted + " " + kNotAPiece;
        case PieceVerdict::OutOfSequence:
            return quoted + " è fuori dalla sequenza!";
        case PieceVerdict::OtherSet:
            return quoted + " appartiene a un'altra sequenza!";
        case PieceVerdict::WrongLength:
            return quoted + " è incompleto o danneggiato!";
    }
    return {};
}

std::string PieceVerdictText(PieceVerdict verdict, const std::string& path) {
    switch (verdict) {
        case PieceVerdict::NotAPiece:  // a missing piece reads as empty
            return "Errore" + std::string(kLineBreak) + "Il file " + ShownName(path) + kLineBreak +
                   kNotAPiece;
        case PieceVerdict::OtherSet:
            return PieceVerdictSentence(PieceVerdict::OutOfSequence, path);
        default:
            return PieceVerdictSentence(verdict, path);
    }
}

std::string MissingFileSentence(const std::string& path) {
    return "Il file '" + ShownName(path) + "' non esiste!";
}

}  // namespace zirared
