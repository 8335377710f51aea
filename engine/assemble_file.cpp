#include "assemble_file.h"

#include <deque>
#include <exception>
#include <optional>
#include <span>

#include "file_error.h"
#include "file_streams.h"
#include "hash_pipeline.h"
#include "message_text.h"
#include "operation_run.h"
#include "path_queries.h"
#include "piece_set.h"
#include "piece_set_rules.h"
#include "piece_verdict_text.h"
#include "plain_set.h"
#include "progress_meter.h"
#include "shown_name.h"

namespace zirared {
namespace {

constexpr std::int16_t kFullBar = 100;
// Descriptors left for everything but the pieces judged (the output, the locks, the list, the
// host's own) when a set is larger than the process may hold open.
constexpr std::int64_t kSpareDescriptors = 64;

class AssembleRun final : public OperationRun {
public:
    explicit AssembleRun(OperationServices& host, const std::string& fileName,
                         std::vector<std::string>& pieceFiles, ListUse listUse,
                         PlainSetUse plainUse, ByteSink* stream)
        : OperationRun(host),
          m_fileName(fileName),
          m_pieceFiles(pieceFiles),
          m_listUse(listUse),
          m_plainUse(plainUse),
          m_stream(stream) {}

private:
    Outcome Body() override {
        if (!m_firstPieceLock.TryLock(m_fileName)) {
            return Refuse(InUseText(m_fileName));
        }
        // Left open: when the chosen file is piece 0, the judgement goes on with it.
        m_first = ReadPieceHeader(m_headerReader, m_fileName, m_headerBytes);
        m_opening = OpenPieceSet(m_fileName, m_first);
        // Only a file without our header is looked at as a plain set's first piece.
        const PlainSetFinding plain =
            m_first.magicValid ? PlainSetFinding{} : FindPlainSet(m_fileName);
        if (plain.opening != PlainOpening::NotPlain) {
            if (const std::optional<Outcome> ended = OpenPlainSet(plain)) {
                return *ended;
            }
        } else if (m_opening.verdict == FirstPieceVerdict::NotTheFirst) {
            return Refuse("Questo non è il primo file della sequenza!");
        } else if (m_opening.verdict != FirstPieceVerdict::Valid) {
            return Refuse("Questo non è un file valido!");
        }
        m_outputPath = m_plain ? m_plain->rebuiltPath : m_opening.rebuiltPath;
        // The whole set is judged before the output path is touched: a damaged set must
        // never cost the file that stands there.
        // A piece that cannot be opened ends the run, but only after the refusal of an output
        // that is one of the pieces, which the judgement of the names alone can tell.
        std::optional<std::string> warning;
        std::exception_ptr unreadable;
        try {
            warning = JudgeSet();
        } catch (const FileError&) {
            unreadable = std::current_exception();
        }
        m_headerReader.Close();
        if (m_plain ? PlainRebuiltIsRead(*m_plain)
                    : RebuiltPathIsRead(m_fileName, m_opening, m_first.count, m_judgedIdentities)) {
            return Refuse("Impossibile riassemblare il file " + ShownName(m_outputPath) +
                          kLineBreak + "Il file da creare coincide con uno dei files da leggere.");
        }
        if (unreadable) {
            std::rethrow_exception(unreadable);
        }
        if (warning) {
            return Refuse(*warning);
        }
        if (const std::optional<Outcome> ended = TakeDigestList()) {
            return *ended;
        }
        if (m_stream != nullptr) {
            return CopySet();
        }
        const std::optional<std::string> target = OutputTarget();
        if (!target) {
            return Refuse("Impossibile riassemblare il file " + ShownName(m_outputPath) +
                          kLineBreak + "Il collegamento simbolico punta a un file inesistente.");
        }
        // Found now rather than at the rename, after the whole set has been copied.
        if (!OutputNamesFit(*target)) {
            return Refuse("Impossibile riassemblare il file " + ShownName(m_outputPath) +
                          kLineBreak + "Il nome del file è troppo lungo per la cartella.");
        }
        // A split of the file standing there holds it; this join replaces it.
        if (kLockedFileCanBeReplaced && !m_outputLock.TryLock(*target)) {
            return Refuse(InUseText(*target));
        }
        if (FileExists(m_outputPath)) {
            const std::string question = "Il file " + ShownName(m_outputPath) + " esiste già!" +
                                         kLineBreak + "Sovrascrivere il file?";
            if (Ask(m_host, question) == Answer::No) {
                return Outcome::Declined;
            }
        }
        if (FileExists(m_outputPath) && !FileIsWritable(m_outputPath)) {
            return Refuse("Impossibile sovrascrivere il file " + ShownName(m_outputPath) +
                          kLineBreak + "Il file potrebbe essere di sola lettura o di sistema.");
        }
        // Written beside its target under another name: what stands at the output path stays
        // whole until the rebuilt file is complete and on disk.
        RemoveAbandonedTemporaryFiles({*target});
        m_output.CreateFor(*target, OutputAccess(*target));
        return CopySet();
    }

    // Copies the set into the output, verifying it when it has a list, and completes the run.
    Outcome CopySet() {
        m_host.SetBusy(true);
        m_busy = true;
        m_host.CreateProgressBar();
        // A verified copy reads into two buffers in turn, so the hashes can trail it.
        m_piece.emplace(kChunkBytes, m_digests ? ReadBuffers::Two : ReadBuffers::One);
        m_pieceFiles.assign(static_cast<std::size_t>(Count()) + 1, std::string());
        // As for a split: a Stop clicked before the copy began (during a question) does not count.
        m_host.ClearStopFlag();
        for (int j = 0; j < Count(); ++j) {
            if (auto failure = CopyPiece(j)) {
                return EndEarly(*failure);
            }
            if (m_ended) {
                return GiveUp();
            }
        }
        if (m_digests) {
            m_pieceHashes->Settle();
            if (auto altered = AlteredPiece()) {
                return EndEarly(*altered);
            }
            if (m_rebuiltHashes->FinishAndWait() != m_digests->rebuilt &&
                m_digests->rebuiltListed) {
                return EndEarly(AlteredRebuiltText(m_outputPath, m_digests->listPath) +
                                NotRebuilt());
            }
        }
        if (m_stream != nullptr) {
            m_stream->Flush();
            return CompleteStream();
        }
        m_output.SyncToDisk();
        // The last check before the rename: a stop or an end that came during the waits for
        // the hashes or the disk still leaves the folder as it was.
        if (Abandoned()) {
            return GiveUp();
        }
        m_output.Commit(true);
        m_host.SetProgress(kFullBar);
        m_host.SetAssembleStatus("");
        const Outcome outcome = Complete();
        GiveControlsBack();
        return outcome;
    }

    // A chosen file without a header that opens a plain set: joined as one, after the window's
    // question. Returns how the run ends when it ends here.
    std::optional<Outcome> OpenPlainSet(const PlainSetFinding& finding) {
        if (finding.opening == PlainOpening::NotTheFirst) {
            return Refuse(PlainNotTheFirstText(finding.set));
        }
        if (m_plainUse == PlainSetUse::Ask &&
            Ask(m_host, PlainJoinQuestion(m_fileName, finding.set)) == Answer::No) {
            return Refuse("Questo non è un file valido!");
        }
        m_plain = finding.set;
        return std::nullopt;
    }

    int Count() const { return m_plain ? m_plain->count : m_first.count; }

    std::string PieceAt(int j) const {
        return m_plain ? m_plain->PieceAt(j) : PiecePath(m_opening.stem, j);
    }

    // With a list beside the set, the copy hashes every piece and the rebuilt file. Returns
    // how the run ends when it ends here.
    std::optional<Outcome> TakeDigestList() {
        if (m_listUse == ListUse::Ignored) {
            return std::nullopt;
        }
        SetDigestsLookup lookup =
            m_plain ? LookUpPlainSetDigests(*m_plain)
                    : LookUpSetDigests(m_opening.stem, m_first.count, m_outputPath);
        if (lookup.state == ListState::NoList) {
            return std::nullopt;
        }
        if (lookup.state == ListState::Unusable) {
            if (m_listUse == ListUse::Required) {
                return Refuse(lookup.problem + NotRebuilt());
            }
            const std::string question =
                lookup.problem + kLineBreak + kLineBreak + "Riassemblare il file senza verifica?";
            if (Ask(m_host, question) == Answer::No) {
                return Outcome::Declined;
            }
            return std::nullopt;
        }
        if (!lookup.digests.ignoredNames.empty()) {
            m_host.ShowMessage(
                IgnoredNamesText(lookup.digests.listPath, lookup.digests.ignoredNames),
                MessageKind::Warning);
        }
        m_digests = std::move(lookup.digests);
        m_pieceHashes.emplace(m_digests->kind);
        m_rebuiltHashes.emplace(m_digests->kind);
        return std::nullopt;
    }

    std::string NotRebuilt() const {
        if (m_stream != nullptr) {
            return kLineBreak + std::string("I dati di ") + ShownName(m_outputPath) +
                   " scritti sull'uscita standard non sono validi.";
        }
        return kLineBreak + std::string("Il file ") + ShownName(m_outputPath) +
               " non è stato riassemblato.";
    }

    // Before the piece reader refills a buffer.
    void ReleaseHashViews() {
        if (m_digests) {
            m_pieceHashes->ReleaseViews(m_piece->BufferToRefill());
            m_rebuiltHashes->ReleaseViews(m_piece->BufferToRefill());
        }
    }

    // The warning for the first piece whose digest, finished by now, differs from the
    // list's. The hash may trail the copy by a few chunks; the end of the copy waits for it.
    std::optional<std::string> AlteredPiece() {
        for (const HashPipeline::FinishedDigest& finished : m_pieceHashes->TakeFinished()) {
            if (m_digests->piecesListed &&
                finished.digest != m_digests->pieces.at(finished.label)) {
                const std::string path = PieceAt(static_cast<int>(finished.label));
                return AlteredPieceText(path, m_digests->listPath) + NotRebuilt();
            }
        }
        return std::nullopt;
    }

    // The path the rebuilt file is renamed to: the output path, or the file a symbolic link
    // there names. Empty for a link that leads nowhere.
    std::optional<std::string> OutputTarget() const {
        if (KindOfPath(m_outputPath) != PathKind::Link) {
            return m_outputPath;
        }
        return ResolvedPath(m_outputPath);
    }

    // The replaced file's permission bits and owner, or a new file's from the first piece.
    FileAccess OutputAccess(const std::string& target) const {
        if (const auto replaced = AccessOf(target)) {
            return *replaced;
        }
        return {AccessOf(m_fileName).value_or(FileAccess{}).permissions, std::nullopt};
    }

    // Opens each piece once and reads its header, up to the first that does not belong (its
    // warning is returned). The pieces stay open for the copy, so that the file copied is the
    // file judged, as far as the descriptors allow; the rest are opened again then.
    std::optional<std::string> JudgeSet() {
        const std::int64_t keptOpen = OpenFileLimit() - kSpareDescriptors;
        for (int j = 0; j < Count(); ++j) {
            InputFile& piece = m_judged.emplace_back(kHeaderBytes);
            // The chosen file is piece 0 under its own name: already open, its header read. A
            // plain piece is copied from its start, so it is opened afresh.
            const bool chosen =
                !m_plain && j == 0 && PieceAt(0) == m_fileName && m_headerReader.IsOpen();
            if (chosen) {
                piece.TakeOver(m_headerReader);
            }
            auto warning = JudgeStoredPiece(piece, j, chosen);
            m_judgedIdentities.push_back(piece.Identity());
            m_judgedHeaders.emplace_back(m_headerBytes.begin(), m_headerBytes.end());
            if (j >= keptOpen) {
                piece.Close();
            }
            if (warning) {
                return warning;
            }
        }
        return std::nullopt;
    }

    // Reads piece j's header and length (taken as read when headerRead: the chosen file's);
    // returns the warning when the piece does not belong.
    std::optional<std::string> JudgeStoredPiece(InputFile& file, int j, bool headerRead = false) {
        const std::string path = PieceAt(j);
        if (m_plain) {
            m_headerBytes = {};  // nothing but data
            const bool there = file.OpenIfExists(path);
            const std::optional<std::int64_t> length =
                there ? std::optional(file.Length()) : std::nullopt;
            if (j == 0) {
                m_firstLength = length.value_or(0);
            }
            return PlainPieceProblem(*m_plain, j, length, m_firstLength);
        }
        const PieceHeader header =
            headerRead ? m_first : ReadPieceHeader(file, path, m_headerBytes);
        const std::int64_t length = file.Length();
        if (j == 0) {
            m_firstLength = length;
        }
        const PieceVerdict verdict = JudgePiece(m_first, j, header, length, m_firstLength);
        if (verdict == PieceVerdict::Fits) {
            return std::nullopt;
        }
        return PieceVerdictText(verdict, path);
    }

    // Copies piece j; returns the warning that ends the run when the piece no longer belongs
    // (it changed since the set was judged).
    std::optional<std::string> CopyPiece(int j) {
        const auto slot = static_cast<std::size_t>(j);
        m_pieceFiles[slot] = PieceAt(j);
        if (m_judged[slot].IsOpen()) {
            m_piece->TakeOver(m_judged[slot]);  // the file judged, after its header if any
        } else if (auto warning = JudgeStoredPiece(*m_piece, j)) {
            return warning;
        } else if (m_piece->Identity() != m_judgedIdentities[slot]) {
            // Another file took the name since the set was judged.
            return PieceVerdictText(PieceVerdict::OtherSet, m_pieceFiles[slot]);
        }
        if (m_digests) {
            m_pieceHashes->AddCopy(m_judgedHeaders[slot]);  // the piece file is hashed whole
        }
        const std::int64_t length = m_piece->Length();
        if (j == 0) {
            m_progress.emplace(length * Count());
        }
        m_host.EnableAssembleControls(false);
        m_progress->SetStepDenominator(length * Count() / static_cast<std::int64_t>(kBlockBytes));
        m_host.SetAssembleStatus("Lettura del file  " + std::to_string(j + 1) + "   di  " +
                                 std::to_string(Count()) + "   in corso...");
        while (!m_piece->AtEnd()) {
            m_host.SetProgress(m_progress->Advance());
            m_host.ProcessPendingEvents();
            if (Abandoned()) {
                m_ended = true;
                break;
            }
            if (!m_digests && m_stream == nullptr) {
                // Nothing to look at: the system copies, in chunks far larger than a block.
                m_piece->CopyTo(m_output, kBlockBytes, length);
                continue;
            }
            if (m_piece->NextReadRefills(kBlockBytes)) {
                FlushOutput();       // its pending views may point into the buffer to refill
                ReleaseHashViews();  // and so may the hashes'
            }
            const std::span<const char> block = m_piece->Read(kBlockBytes);
            if (m_stream != nullptr) {
                m_stream->Append(block);
            } else {
                m_output.Append(block);
            }
            if (m_digests) {
                m_pieceHashes->Add(block);
                m_rebuiltHashes->Add(block);
            }
        }
        if (m_digests && !m_ended) {
            m_pieceHashes->Finish(static_cast<std::uint32_t>(j));
        }
        FlushOutput();
        // The next piece's header refills a buffer too.
        ReleaseHashViews();
        m_piece->Close();
        if (m_digests && !m_ended) {
            return AlteredPiece();
        }
        return std::nullopt;
    }

    void FlushOutput() {
        if (m_stream != nullptr) {
            m_stream->Flush();
        } else {
            m_output.Flush();
        }
    }

    // Nothing to delete or keep: the bytes are with whoever reads the stream.
    Outcome CompleteStream() {
        m_host.SetProgress(kFullBar);
        m_host.SetAssembleStatus("");
        std::string sent = "Il file " + ShownName(m_outputPath) + kLineBreak +
                           "è stato scritto sull'uscita standard.";
        if (m_digests) {
            sent += kLineBreak + VerifiedText(m_digests->listPath);
        }
        m_host.ShowMessage(sent, MessageKind::Information);
        GiveControlsBack();
        return Outcome::Completed;
    }

    Outcome Complete() {
        std::string rebuilt = "Il file " + ShownName(m_outputPath) + kLineBreak +
                              "è stato riassemblato correttamente.";
        if (m_digests) {
            rebuilt += kLineBreak + VerifiedText(m_digests->listPath);
        }
        // An end that came after the rename keeps the pieces: the process is ending, and the
        // user never agreed to their deletion while it was.
        if (!m_host.DeleteChoice() || m_host.EndRequested()) {
            m_host.ShowMessage(rebuilt, MessageKind::Information);
            return Outcome::Completed;
        }
        const std::string question = rebuilt + kLineBreak + kLineBreak +
                                     "Confermi l'eliminazione dei " +
                                     std::to_string(m_pieceFiles.size() - 1) + " files sorgenti?";
        if (Ask(m_host, question) == Answer::Yes && !DeletePieceFiles(m_host, m_pieceFiles)) {
            return Outcome::Failed;
        }
        return Outcome::Completed;
    }

    // Every way out but success keeps nothing of the rebuilt file. Done before any message,
    // so that no unfinished file waits on the user's answer.
    void TakeBack() override {
        m_pieceHashes.reset();  // before the buffers their views point into
        m_rebuiltHashes.reset();
        m_piece.reset();
        m_output.Discard();
    }

    void GiveControlsBack() override {
        if (m_host.ProgressBarCreated()) {
            m_host.RemoveProgressBar();
        }
        m_host.EnableAssembleControls(true);
        if (m_busy) {
            m_host.SetBusy(false);
        }
    }

    // The Stop button (or Escape) of the window, or the host ending the process.
    bool Abandoned() { return m_host.StopRequested() || m_host.EndRequested(); }

    Outcome EndEarly(const std::string& warning) {
        TakeBack();
        m_host.ShowMessage(warning, MessageKind::Warning);
        m_host.SetAssembleStatus("");
        GiveControlsBack();
        return Outcome::Failed;
    }

    // Stopped, or the host is ending the process: nothing is kept, the pieces stay as they are.
    Outcome GiveUp() {
        TakeBack();
        m_host.SetAssembleStatus("");
        GiveControlsBack();
        m_host.ShowMessage("Operazione terminata volontariamente", MessageKind::Information);
        return Outcome::Stopped;
    }

    // First: held until everything else is gone. A split of the rebuilt file locks the same
    // two files, its source and its first piece, so neither runs beside the other.
    FileLock m_firstPieceLock;
    FileLock m_outputLock;
    const std::string& m_fileName;
    std::vector<std::string>& m_pieceFiles;
    PieceHeader m_first;
    SetOpening m_opening;
    std::string m_outputPath;
    std::optional<InputFile> m_piece;        // made once the set and its list are judged
    InputFile m_headerReader{kHeaderBytes};  // judging the set reads headers only
    std::deque<InputFile> m_judged;          // per piece, open until copied while descriptors last
    std::vector<FileIdentity> m_judgedIdentities;
    std::vector<std::string> m_judgedHeaders;  // the bytes as stored, for the list's digests
    OutputFile m_output;
    std::int64_t m_firstLength = 0;
    std::optional<ProgressMeter> m_progress;
    bool m_ended = false;  // stopped or ended during the copy
    bool m_busy = false;   // the host shows Stop for this copy
    const ListUse m_listUse;
    const PlainSetUse m_plainUse;
    std::optional<PlainSet> m_plain;      // set: the chosen file opens a plain set
    ByteSink* const m_stream;             // set: the rebuilt bytes go there, not into a file
    std::optional<SetDigests> m_digests;  // set: the join verifies
    std::span<const char> m_headerBytes;  // the last header read, a view into its reader
    // Declared after the readers: destroyed first, as they may hold views into their buffers.
    std::optional<HashPipeline> m_pieceHashes;
    std::optional<HashPipeline> m_rebuiltHashes;
};

}  // namespace

Outcome AssembleFile(OperationServices& host, const std::string& fileName,
                     std::vector<std::string>& pieceFiles, ListUse listUse, PlainSetUse plainUse,
                     ByteSink* stream) {
    return AssembleRun(host, fileName, pieceFiles, listUse, plainUse, stream).Run();
}

bool FileExists(const std::string& path) {
    return KindOfPath(path).has_value();
}

bool FileIsWritable(const std::string& path) {
    const std::optional<int> attributes = AttributeValue(path);
    return attributes == 0 || attributes == kAttributeArchive;
}

bool DeletePieceFiles(OperationServices& host, const std::vector<std::string>& pieceFiles) {
    // The last slot is never filled: it only makes the highest index equal the piece count.
    for (std::size_t j = 0; j + 1 < pieceFiles.size(); ++j) {
        if (const std::optional<int> error = RemoveFile(pieceFiles[j])) {
            host.ShowMessage("Impossibile cancellare i files!" + std::string(kLineBreak) +
                                 std::to_string(*error) + "  " + DescribeSystemError(*error) +
                                 kLineBreak + "Il file " + ShownName(pieceFiles[j]) +
                                 " non è stato cancellato.",
                             MessageKind::Error);
            return false;
        }
    }
    return true;
}

}  // namespace zirared
