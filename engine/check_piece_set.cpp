#include "check_piece_set.h"

#include <algorithm>
#include <new>
#include <span>
#include <utility>

#include "assemble_file.h"
#include "file_error.h"
#include "file_streams.h"
#include "hash_pipeline.h"
#include "message_text.h"
#include "path_queries.h"
#include "piece_set.h"
#include "piece_set_rules.h"
#include "piece_verdict_text.h"
#include "plain_set.h"
#include "set_digests.h"
#include "shown_name.h"

namespace zirared {
namespace {

struct PieceRead {
    enum class State { Read, Missing, Unreadable };
    State state = State::Missing;
    PieceHeader header;
    std::int64_t length = 0;
    std::string failure;  // why it could not be read, for Unreadable
};

class SetChecker {
public:
    explicit SetChecker(const std::string& firstPiece) : m_chosenPath(firstPiece) {}

    SetCheckReport Run() {
        if (!CheckChosenFile()) {
            return std::move(m_report);
        }
        m_report.pieceCount = Count();
        m_report.rebuiltPath = RebuiltPath();
        if (m_plain) {
            CheckPlainPieces();
        } else {
            CheckPieces();
        }
        VerifyAgainstList();
        if (m_plain ? PlainRebuiltIsRead(*m_plain)
                    : RebuiltPathIsRead(m_chosenPath, m_opening, m_first.count)) {
            AddProblem(SetProblemKind::RebuiltIsAPiece, RebuiltPath(),
                       "Impossibile riassemblare il file " + ShownName(RebuiltPath()) +
                           ": il file da creare coincide con uno dei files da leggere.");
        }
        if (!m_plain) {
            NoteLeftoverPieces();  // a plain set ends at the highest number there
        }
        CheckRebuiltPath();
        NoteTemporaryFiles();
        return std::move(m_report);
    }

private:
    // False when the chosen file opens no set: then there is nothing more to check.
    bool CheckChosenFile() {
        const PieceRead chosen = Read(m_chosenPath);
        if (chosen.state != PieceRead::State::Read) {
            AddReadProblem(m_chosenPath, chosen);
            return false;
        }
        m_first = chosen.header;
        m_chosenLength = chosen.length;
        m_opening = OpenPieceSet(m_chosenPath, m_first);
        if (!m_first.magicValid) {
            const PlainSetFinding plain = FindPlainSet(m_chosenPath);
            if (plain.opening == PlainOpening::First) {
                m_plain = plain.set;
                return true;
            }
            if (plain.opening == PlainOpening::NotTheFirst) {
                AddProblem(SetProblemKind::NotTheFirst, m_chosenPath,
                           PlainNotTheFirstText(plain.set));
                return false;
            }
        }
        switch (m_opening.verdict) {
            case FirstPieceVerdict::Valid:
                return true;
            case FirstPieceVerdict::NotTheFirst:
                AddProblem(SetProblemKind::NotTheFirst, m_chosenPath,
                           "Questo non è il primo file della sequenza!");
                return false;
            case FirstPieceVerdict::NotValid:
                break;
        }
        AddProblem(SetProblemKind::NotValid, m_chosenPath, "Questo non è un file valido!");
        return false;
    }

    void CheckPieces() {
        // Lengths are measured against piece 0; when piece 0 cannot serve, the chosen file,
        // which carries the same first header, stands in so that the others are still judged.
        std::int64_t pieceZeroLength = m_chosenLength;
        for (int j = 0; j < m_first.count; ++j) {
            const std::string path = PiecePath(m_opening.stem, j);
            const PieceRead piece = Read(path);
            if (piece.state != PieceRead::State::Read) {
                AddReadProblem(path, piece);
                continue;
            }
            m_report.rebuiltSize +=
                std::max<std::int64_t>(0, piece.length - static_cast<std::int64_t>(kHeaderBytes));
            const PieceVerdict verdict = JudgePiece(m_first, j, piece.header, piece.length,
                                                    j == 0 ? piece.length : pieceZeroLength);
            if (j == 0 && verdict == PieceVerdict::Fits) {
                pieceZeroLength = piece.length;
            }
            if (verdict == PieceVerdict::Fits) {
                m_fittingPieces.push_back(j);
            }
            AddPieceProblem(path, j, piece, pieceZeroLength, verdict);
        }
    }

    // A plain set's pieces by their lengths alone: piece 0's is the measure of the others.
    void CheckPlainPieces() {
        std::int64_t firstLength = 0;
        for (int j = 0; j < Count(); ++j) {
            const std::string path = PieceAt(j);
            const PieceRead piece = Read(path);
            if (piece.state == PieceRead::State::Unreadable) {
                AddReadProblem(path, piece);
                continue;
            }
            const std::optional<std::int64_t> length =
                piece.state == PieceRead::State::Read ? std::optional(piece.length) : std::nullopt;
            if (j == 0) {
                firstLength = length.value_or(0);
            }
            m_report.rebuiltSize += length.value_or(0);
            if (auto problem = PlainPieceProblem(*m_plain, j, length, firstLength)) {
                AddProblem(length ? SetProblemKind::WrongLength : SetProblemKind::Missing, path,
                           std::move(*problem));
            } else {
                m_fittingPieces.push_back(j);
            }
        }
    }

    int Count() const { return m_plain ? m_plain->count : m_first.count; }
    std::string PieceAt(int j) const {
        return m_plain ? m_plain->PieceAt(j) : PiecePath(m_opening.stem, j);
    }
    const std::string& RebuiltPath() const {
        return m_plain ? m_plain->rebuiltPath : m_opening.rebuiltPath;
    }

    void AddPieceProblem(const std::string& path, int j, const PieceRead& piece,
                         std::int64_t pieceZeroLength, PieceVerdict verdict) {
        const std::string sentence = PieceVerdictSentence(verdict, path);
        switch (verdict) {
            case PieceVerdict::Fits:
                return;
            case PieceVerdict::NotAPiece:
                AddProblem(SetProblemKind::NotAPiece, path, sentence);
                return;
            case PieceVerdict::OutOfSequence:
                AddProblem(SetProblemKind::OutOfSequence, path,
                           sentence + " (indice " + std::to_string(piece.header.index) +
                               " invece di " + std::to_string(j) + ")");
                return;
            case PieceVerdict::OtherSet: {
                const std::string detail =
                    piece.header.count != m_first.count
                        ? "sequenza di " + std::to_string(piece.header.count) +
                              " files invece di " + std::to_string(m_first.count)
                        : "file originale diverso";
                AddProblem(SetProblemKind::OtherSet, path, sentence + " (" + detail + ")");
                return;
            }
            case PieceVerdict::WrongLength: {
                const bool last = j == m_first.count - 1;
                const std::string expected =
                    (last ? "al massimo " : "") + std::to_string(pieceZeroLength);
                AddProblem(SetProblemKind::WrongLength, path,
                           sentence + " (" + std::to_string(piece.length) + " byte invece di " +
                               expected + ")");
                return;
            }
        }
    }

    // The deep check: pieces that pass the header-and-length check are read whole and hashed;
    // when all pass, their data together is checked against the rebuilt file's line as well.
    void VerifyAgainstList() {
        SetDigestsLookup lookup =
            m_plain ? LookUpPlainSetDigests(*m_plain)
                    : LookUpSetDigests(m_opening.stem, m_first.count, m_opening.rebuiltPath);
        if (lookup.state == ListState::NoList) {
            return;
        }
        m_report.listPath = lookup.state == ListState::Usable ? lookup.digests.listPath
                                                              : ListPathFor(RebuiltPath());
        if (lookup.state == ListState::Unusable) {
            AddProblem(SetProblemKind::ListUnusable, m_report.listPath, lookup.problem);
            return;
        }
        const SetDigests& digests = lookup.digests;
        if (!digests.ignoredNames.empty()) {
            m_report.notes.push_back({SetNoteKind::ListLinesIgnored, digests.listPath,
                                      IgnoredNamesText(digests.listPath, digests.ignoredNames)});
        }
        try {
            HashFittingPieces(digests);
        } catch (const FileError& error) {
            // The hashing itself failed (the crypto library, a thread): the rest is unverified.
            AddProblem(SetProblemKind::ListUnusable, m_report.listPath,
                       UnusableListText(m_report.listPath, error.Cause()));
        }
    }

    // Throws FileError only when the hashing fails; a piece that cannot be read is a problem.
    void HashFittingPieces(const SetDigests& digests) {
        const bool wholeSet = static_cast<int>(m_fittingPieces.size()) == Count();
        const std::int64_t headerBytes = m_plain ? 0 : static_cast<std::int64_t>(kHeaderBytes);
        InputFile reader(kChunkBytes, ReadBuffers::Two);  // the hashes may trail the reading
        HashPipeline pieceHashes(digests.kind);           // after reader: gone before its buffers
        HashPipeline dataHashes(digests.kind);
        for (const int j : m_fittingPieces) {
            const std::string path = PieceAt(j);
            Sha256Digest pieceDigest{};
            try {
                reader.Open(path);
                std::int64_t offset = 0;
                while (!reader.AtEnd()) {
                    if (reader.NextReadRefills(kChunkBytes)) {
                        pieceHashes.ReleaseViews(reader.BufferToRefill());
                        dataHashes.ReleaseViews(reader.BufferToRefill());
                    }
                    const std::span<const char> chunk = reader.Read(kChunkBytes);
                    pieceHashes.Add(chunk);
                    const auto header = static_cast<std::size_t>(std::clamp<std::int64_t>(
                        headerBytes - offset, 0, static_cast<std::int64_t>(chunk.size())));
                    dataHashes.Add(chunk.subspan(header));
                    offset += static_cast<std::int64_t>(chunk.size());
                }
                pieceDigest = pieceHashes.FinishAndWait();
                reader.Close();
            } catch (const FileError& error) {
                // A failure of the hashing itself comes out of these again, before the piece
                // is blamed for it.
                pieceHashes.FinishAndWait();  // drops the partial piece
                dataHashes.Settle();
                reader.Close();
                AddProblem(
                    SetProblemKind::Unreadable, path,
                    "Impossibile leggere il file '" + ShownName(path) + "': " + error.Cause());
                continue;
            }
            if (!digests.piecesListed) {
                continue;  // only the data of them all is listed
            }
            if (pieceDigest != digests.pieces[static_cast<std::size_t>(j)]) {
                AddProblem(SetProblemKind::Altered, path, AlteredPieceText(path, digests.listPath));
            } else {
                ++m_report.verifiedPieces;
            }
        }
        if (wholeSet && (m_report.verifiedPieces == Count() || !digests.piecesListed) &&
            dataHashes.FinishAndWait() != digests.rebuilt && digests.rebuiltListed) {
            AddProblem(SetProblemKind::Altered, RebuiltPath(),
                       "L'elenco di controllo " + ShownName(digests.listPath) +
                           " non corrisponde ai files: il file " + ShownName(RebuiltPath()) +
                           " riassemblato da questi pezzi sarebbe diverso da quello elencato.");
        }
    }

    // Files an older, longer set left behind: the assembly never reads them.
    void NoteLeftoverPieces() {
        for (int j = m_first.count; j <= kMaxPieceCount; ++j) {
            const std::string path = PiecePath(m_opening.stem, j);
            if (FileExists(path)) {
                m_report.notes.push_back({SetNoteKind::LeftoverPiece, path,
                                          "Il file '" + ShownName(path) +
                                              "' è oltre la fine della sequenza e non "
                                              "verrà usato."});
            }
        }
    }

    void CheckRebuiltPath() {
        const std::string& path = RebuiltPath();
        m_report.rebuiltExists = FileExists(path);
        std::string obstacle;
        if (KindOfPath(path) == PathKind::Link && !ResolvedPath(path)) {
            obstacle =
                " è un collegamento simbolico a un file inesistente: l'assemblaggio lo "
                "rifiuterà.";
        } else if (AttributeValue(path) == kAttributeDirectory) {
            obstacle = " non potrà essere creato: al suo posto c'è una cartella.";
        } else if (m_report.rebuiltExists && !FileIsWritable(path)) {
            obstacle =
                " esiste già e non potrà essere sovrascritto: potrebbe essere di sola "
                "lettura o di sistema.";
        }
        if (!obstacle.empty()) {
            m_report.notes.push_back({SetNoteKind::RebuiltNotReplaceable, path,
                                      "Il file " + ShownName(path) + obstacle});
        }
    }

    // Unfinished files of a split or join that runs, or that died and left them behind (the
    // next one removes those).
    void NoteTemporaryFiles() {
        std::vector<std::string> targets{RebuiltPath(), ListPathFor(RebuiltPath())};
        for (int j = 0; j < Count(); ++j) {
            targets.push_back(PieceAt(j));
        }
        for (const TemporaryFile& file : TemporaryFilesOf(targets)) {
            const std::string text =
                file.inUse ? " è il file temporaneo di un'operazione di Zirared in corso."
                           : " è il file temporaneo di un'operazione interrotta: la prossima "
                             "operazione sugli stessi files lo cancellerà.";
            m_report.notes.push_back(
                {SetNoteKind::TemporaryFile, file.path, "Il file " + ShownName(file.path) + text});
        }
    }

    // The header and length of path; never throws.
    PieceRead Read(const std::string& path) {
        PieceRead result;
        try {
            std::span<const char> bytes;
            result.header = ReadPieceHeader(m_file, path, bytes);
            if (!m_file.IsOpen()) {
                return result;
            }
            result.length = m_file.Length();
            result.state = PieceRead::State::Read;
        } catch (const FileError& error) {
            result.state = PieceRead::State::Unreadable;
            result.failure = error.Number() == kNotRegularFileNumber
                                 ? error.Cause()
                                 : error.Cause() + " (" + ErrorNumberText(error.Number()) + ")";
        } catch (const std::bad_alloc&) {
            result.state = PieceRead::State::Unreadable;
            result.failure = DescribeSystemError(kOutOfMemoryNumber);
        }
        m_file.Close();
        return result;
    }

    void AddReadProblem(const std::string& path, const PieceRead& piece) {
        if (piece.state == PieceRead::State::Missing) {
            AddProblem(SetProblemKind::Missing, path, MissingFileSentence(path));
        } else {
            AddProblem(SetProblemKind::Unreadable, path,
                       "Impossibile leggere il file '" + ShownName(path) + "': " + piece.failure);
        }
    }

    void AddProblem(SetProblemKind kind, const std::string& path, std::string text) {
        m_report.problems.push_back({kind, path, std::move(text)});
    }

    const std::string& m_chosenPath;
    InputFile m_file{kHeaderBytes};  // only headers are read
    PieceHeader m_first;
    std::int64_t m_chosenLength = 0;
    SetOpening m_opening;
    std::optional<PlainSet> m_plain;  // set: the chosen file opens a plain set
    SetCheckReport m_report;
    std::vector<int> m_fittingPieces;
};

}  // namespace

SetCheckReport CheckPieceSet(const std::string& firstPiece) {
    return SetChecker(firstPiece).Run();
}

std::string CheckVerdictText(const SetCheckReport& report) {
    if (report.IsConsistent()) {
        return "La sequenza è completa e coerente.";
    }
    const std::size_t count = report.problems.size();
    return "La sequenza non può essere riassemblata: " + std::to_string(count) +
           (count == 1 ? " problema." : " problemi.");
}

}  // namespace zirared
