#include "split_file.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "file_error.h"
#include "file_streams.h"
#include "hash_pipeline.h"
#include "message_text.h"
#include "operation_run.h"
#include "path_queries.h"
#include "piece_set.h"
#include "piece_size.h"
#include "plain_set.h"
#include "progress_meter.h"
#include "set_digests.h"
#include "sha256_list.h"
#include "shown_name.h"
#include "split_rules.h"

namespace zirared {
namespace {

std::string ConfirmationText(std::int64_t pieceCount, const std::string& directory) {
    return "Il file selezionato verrà diviso in " + std::to_string(pieceCount) + " files." +
           kLineBreak + kLineBreak + "I files verranno scritti in: " + ShownName(directory) +
           kLineBreak + kLineBreak + "Confermi l'operazione?";
}

class SplitRun final : public OperationRun {
public:
    explicit SplitRun(OperationServices& host, const std::string& fileName,
                      std::int64_t pieceDataSize, bool writeList, bool plain)
        : OperationRun(host),
          m_fileName(fileName),
          m_pieceDataSize(pieceDataSize),
          m_listPath(ListPathFor(fileName)),
          m_writeList(writeList),
          m_plain(plain) {}

private:
    Outcome Body() override {
        m_source.Open(m_fileName);
        if (!m_sourceLock.TryLock(m_fileName)) {
            m_source.Close();
            return Refuse(InUseText(m_fileName));
        }
        if (m_pieceDataSize <= 0) {
            throw FileError(EINVAL, "Dimensione dei pezzi non valida.");
        }
        const std::int64_t sourceLength = m_source.Length();
        if (sourceLength <= m_pieceDataSize) {
            m_source.Close();
            return Refuse(TooSmallText());
        }
        const std::span<const char> head = m_source.Peek(kHeaderBytes);
        if (StartsWithMagic({head.data(), head.size()})) {
            m_source.Close();
            return Refuse(AlreadySplitText());
        }
        // A plain set has no header-only last piece: other splitters never write one.
        m_pieceCount = m_plain ? (sourceLength + m_pieceDataSize - 1) / m_pieceDataSize
                               : PieceCount(sourceLength, m_pieceDataSize);
        if (auto refusal = CheckPieceNames()) {
            m_source.Close();
            return Refuse(*refusal);
        }
        // A join of the set standing there holds its first piece, which this split replaces.
        if (const std::string first = PieceAt(0);
            kLockedFileCanBeReplaced && !m_firstPieceLock.TryLock(first)) {
            m_source.Close();
            return Refuse(InUseText(first));
        }
        const bool earlierList = IsListOfEarlierSplit(m_listPath, m_fileName, m_stem);
        std::vector<std::string> foreign = ForeignFiles();
        if (m_writeList && !earlierList && ListPathTaken()) {
            foreign.push_back(m_listPath);
        }
        const std::string question = ConfirmationText(m_pieceCount, DirectoryPart(m_fileName));
        if (Ask(m_host, question) == Answer::No || !OverwriteAgreed(m_host, foreign)) {
            m_source.Close();
            return Outcome::Declined;
        }
        // The pieces about to be written make an earlier split's list wrong, and a wrong list
        // would make the join refuse a good set.
        if (earlierList) {
            if (const std::optional<int> error = RemoveFile(m_listPath)) {
                throw SystemError(*error, m_listPath, FileAction::Delete);
            }
        }
        RemoveAbandonedTemporaryFiles(WrittenPaths());
        m_access.permissions = AccessOf(m_fileName).value_or(FileAccess{}).permissions;
        m_host.SetBusy(true);
        m_host.CreateProgressBar();
        if (m_writeList) {
            m_pieceHashes.emplace();
            m_sourceHashes.emplace();
        }
        Copy(sourceLength);
        return Finish();
    }

    // Refusals that keep every piece in the source's directory, inside the header's three
    // digits and one byte per suffix character, and never onto the source itself.
    std::optional<std::string> CheckPieceNames() {
        const PieceNaming naming =
            m_plain ? NamePlainPiecesAfter(m_fileName) : NamePiecesAfter(m_fileName);
        if (naming.refusal) {
            return naming.refusal;
        }
        if (m_plain && m_pieceCount > kMaxPlainPieceCount) {
            return TooManyPlainPiecesText();
        }
        if (!m_plain && m_pieceCount > kMaxPieceCount) {
            return TooManyPiecesText(ShownName(m_fileName), m_source.Length());
        }
        m_stem = naming.stem;
        m_suffix = naming.suffix;
        const auto sourceIdentity = IdentityOf(m_fileName);
        for (int k = 0; k < m_pieceCount; ++k) {
            const std::string path = PieceAt(k);
            if (path == m_fileName || (sourceIdentity && IdentityOf(path) == sourceIdentity)) {
                return SourceNameTakenText();
            }
        }
        // Found now rather than at the rename that ends the split, after every piece has been
        // copied. The first piece's name is the shortest, the last one's the longest.
        std::vector<std::string> created{PieceAt(0), PieceAt(static_cast<int>(m_pieceCount) - 1)};
        if (m_writeList) {
            created.push_back(m_listPath);
        }
        for (const std::string& path : created) {
            if (!OutputNamesFit(path)) {
                return NameTooLongText(path);
            }
        }
        return std::nullopt;
    }

    // Pieces of an earlier split of this same source are replaced without asking; anything
    // else at a piece path, a piece of another source's set among them (it may be the only
    // copy of that source), only after a question, and a folder never. Returns those others.
    std::vector<std::string> ForeignFiles() const {
        std::vector<std::string> foreign;
        for (int k = 0; k < m_pieceCount; ++k) {
            const std::string path = PieceAt(k);
            const std::optional<PathKind> kind = KindOfPath(path);
            if (kind == PathKind::Directory) {
                throw SystemError(kIsADirectoryNumber, path, FileAction::Create);
            }
            // Nothing in a plain piece tells whose it is.
            if (kind && (m_plain || !IsPieceOfSource(path, m_suffix))) {
                foreign.push_back(path);
            }
        }
        return foreign;
    }

    // Something other than an earlier split's list stands where the list goes; a folder
    // there cannot be replaced at all.
    bool ListPathTaken() const {
        const std::optional<PathKind> kind = KindOfPath(m_listPath);
        if (kind == PathKind::Directory) {
            throw SystemError(kIsADirectoryNumber, m_listPath, FileAction::Create);
        }
        return kind.has_value();
    }

    // Every path the split may write, the list last.
    std::vector<std::string> WrittenPaths() const {
        std::vector<std::string> paths = PiecePaths();
        paths.push_back(m_listPath);
        return paths;
    }

    std::vector<std::string> PiecePaths() const {
        std::vector<std::string> paths;
        for (int k = 0; k < m_pieceCount; ++k) {
            paths.push_back(PieceAt(k));
        }
        return paths;
    }

    // Ours from 000 after the stem; a plain set's from 001 after the whole name.
    std::string PieceAt(int k) const {
        return m_plain ? PlainPiecePath(m_fileName, k + 1) : PiecePath(m_stem, k);
    }

    void Copy(std::int64_t sourceLength) {
        OpenPiece(0);
        std::int64_t dataInPiece = 0;
        ProgressMeter progress(sourceLength);
        progress.SetStepDenominator(std::max<std::int64_t>(sourceLength / kBlockBytes, 1));
        m_host.ClearStopFlag();
        while (!m_source.AtEnd()) {
            m_host.SetSplitStatus(StatusText());
            m_host.SetProgress(progress.Advance());
            if (Abandoned()) {
                break;
            }
            m_host.ProcessPendingEvents();
            if (!m_pieceHashes) {
                CopyBlockInsideSystem(dataInPiece);
                continue;
            }
            if (m_source.NextReadRefills(kBlockBytes)) {
                m_piece.Flush();     // its pending views may point into the buffer to refill
                ReleaseHashViews();  // and so may the hashes'
            }
            std::span<const char> block = m_source.Read(kBlockBytes);
            m_sourceHashes->Add(block);
            // A loop rather than one split of the block: pieces smaller than a block work too.
            do {
                const auto room = static_cast<std::size_t>(m_pieceDataSize - dataInPiece);
                const std::size_t now = std::min(room, block.size());
                m_piece.Append(block.first(now));
                m_pieceHashes->Add(block.first(now));
                block = block.subspan(now);
                AddToPiece(dataInPiece, now);
            } while (!block.empty());
        }
        if (!Abandoned()) {
            CommitPiece();
        }
        if (m_writeList && !m_abandoned) {
            WriteList();
        }
        if (!m_abandoned) {
            // On disk before the user is told, who may then delete the source.
            SyncFileSystemOf(m_writeList ? m_listPath : PieceAt(m_pieceIndex));
        }
        m_pieceHashes.reset();  // before the buffer their views point into
        m_sourceHashes.reset();
        m_source.Close();
    }

    // Without digests the system copies: the loop still takes one block at a time (status,
    // bar, Stop), while the bytes move in large chunks underneath, never past the piece.
    void CopyBlockInsideSystem(std::int64_t& dataInPiece) {
        std::size_t blockLeft = kBlockBytes;
        do {
            const std::int64_t room = m_pieceDataSize - dataInPiece;
            const std::size_t now = m_source.CopyTo(
                m_piece, static_cast<std::size_t>(std::min<std::int64_t>(room, blockLeft)), room);
            blockLeft -= now;
            AddToPiece(dataInPiece, now);
        } while (blockLeft > 0 && !m_source.AtEnd());
    }

    // Counts bytes put into the current piece; a full piece is committed and the next one
    // opened at once, so a source that ends on a piece boundary ends with a header alone. A
    // plain set's last piece may be full: nothing follows it.
    void AddToPiece(std::int64_t& dataInPiece, std::size_t bytes) {
        dataInPiece += static_cast<std::int64_t>(bytes);
        if (dataInPiece == m_pieceDataSize && m_pieceIndex + 1 < m_pieceCount) {
            CommitPiece();
            OpenPiece(m_pieceIndex + 1);
            dataInPiece = 0;
        }
    }

    // Before the source's buffer is refilled; keeps the piece digests finished so far.
    void ReleaseHashViews() {
        if (!m_pieceHashes) {
            return;
        }
        m_pieceHashes->ReleaseViews(m_source.BufferToRefill());
        m_sourceHashes->ReleaseViews(m_source.BufferToRefill());
        KeepPieceDigests();
    }

    void KeepPieceDigests() {
        for (const HashPipeline::FinishedDigest& finished : m_pieceHashes->TakeFinished()) {
            m_pieceDigests.push_back(finished.digest);
        }
    }

    // One line per piece file, header included, then one for the source, named as they
    // stand in the folder; written once every piece is in place, like a piece: whole or not
    // at all.
    void WriteList() {
        const Sha256Digest sourceDigest = m_sourceHashes->FinishAndWait();
        m_pieceHashes->Settle();
        KeepPieceDigests();
        std::vector<std::string> paths = PiecePaths();
        paths.push_back(m_fileName);
        const std::vector<std::string> names = ListNamesOf(paths);
        std::string text;
        for (std::size_t k = 0; k < m_pieceDigests.size(); ++k) {
            text += FormatListLine(names[k], m_pieceDigests[k]);
        }
        text += FormatListLine(names.back(), sourceDigest);
        m_list.CreateFor(m_listPath, m_access);
        m_list.Write(text);
        if (!Abandoned()) {
            m_list.Commit(false);
            m_listWritten = m_list.Identity();
        }
    }

    // Read once per block and again just before each rename that could end the split (the
    // last piece's, the list's): until the last one is done a stop or an end takes back
    // everything written, however long the final waits took; after it the split is complete.
    bool Abandoned() {
        m_abandoned = m_abandoned || m_host.StopRequested() || m_host.EndRequested();
        return m_abandoned;
    }

    // A piece takes its name only when whole, so an interrupted split never leaves a short
    // last piece that would pass for a complete set.
    void CommitPiece() {
        m_piece.Commit(false);
        m_written.push_back(m_piece.Identity());
        if (m_pieceHashes) {
            m_pieceHashes->Finish(static_cast<std::uint32_t>(m_pieceIndex));
        }
    }

    // A stopped or failed split takes back what it wrote, and only that: a piece another
    // run put in its place since stays, and so does one that cannot go, silently.
    void RemoveWrittenPieces() {
        m_piece.Discard();
        m_list.Discard();
        for (std::size_t k = 0; k < m_written.size(); ++k) {
            RemoveIfSameFile(PieceAt(static_cast<int>(k)), m_written[k]);
        }
        m_written.clear();
        if (m_listWritten) {
            RemoveIfSameFile(m_listPath, *m_listWritten);
        }
    }

    Outcome Finish() {
        Outcome outcome = Outcome::Completed;
        if (m_abandoned) {
            m_host.SetSplitStatus("");
            RemoveWrittenPieces();
            m_host.ShowMessage("Operazione terminata volontariamente", MessageKind::Information);
            outcome = Outcome::Stopped;
        } else {
            m_host.SetSplitStatus(SplitDoneStatus(m_pieceIndex + 1));
            m_host.ShowMessage(SplitDoneText(m_fileName, m_pieceIndex + 1),
                               MessageKind::Information);
        }
        GiveControlsBack();
        return outcome;
    }

    void OpenPiece(int index) {
        m_pieceIndex = index;
        m_piece.CreateFor(PieceAt(index), m_access);
        if (m_plain) {
            return;
        }
        const HeaderBytes header = BuildHeader(index, static_cast<int>(m_pieceCount), m_suffix);
        m_piece.Write(header);
        if (m_pieceHashes) {
            m_pieceHashes->AddCopy(header);
        }
    }

    // The same text for every block of a piece: rebuilt only when the piece changes.
    const std::string& StatusText() {
        if (m_statusPiece != m_pieceIndex) {
            m_statusPiece = m_pieceIndex;
            m_status = "File n° " + std::to_string(m_pieceIndex + 1) + "  di  " +
                       std::to_string(m_pieceCount) + "  in scrittura";
        }
        return m_status;
    }

    void TakeBack() override {
        m_pieceHashes.reset();
        m_sourceHashes.reset();
        RemoveWrittenPieces();
        m_source.Close();
    }

    void GiveControlsBack() override {
        if (m_host.ProgressBarCreated()) {
            m_host.RemoveProgressBar();
        }
        m_host.SetBusy(false);
    }

    // First: held until everything else is gone. A join of this set locks the same two
    // files, its output and its first piece, so neither runs beside the other.
    FileLock m_sourceLock;
    FileLock m_firstPieceLock;
    const std::string& m_fileName;
    const std::int64_t m_pieceDataSize;
    std::int64_t m_pieceCount = 0;
    std::string m_stem;
    SuffixBytes m_suffix{};
    const std::string m_listPath;
    const bool m_writeList;
    const bool m_plain;  // headerless pieces <source>.001, ... (plain_set.h)
    // Hashed, it is read into two buffers in turn, so the hashes can trail the copy.
    InputFile m_source{kChunkBytes, m_writeList ? ReadBuffers::Two : ReadBuffers::One};
    OutputFile m_piece;
    OutputFile m_list;
    // Declared after m_source: destroyed first, as they may hold views into its buffer.
    std::optional<HashPipeline> m_pieceHashes;
    std::optional<HashPipeline> m_sourceHashes;
    std::vector<Sha256Digest> m_pieceDigests;
    int m_pieceIndex = 0;
    std::vector<FileIdentity> m_written;  // the pieces committed, in order
    std::optional<FileIdentity> m_listWritten;
    FileAccess m_access;  // the source's permission bits
    int m_statusPiece = -1;
    bool m_abandoned = false;  // a stop or an end came before the last rename
    std::string m_status;
};

}  // namespace

Outcome SplitFile(OperationServices& host, const std::string& fileName, std::int32_t filesizeKB,
                  bool writeList) {
    return SplitRun(host, fileName, PieceDataSize(filesizeKB), writeList, false).Run();
}

Outcome SplitFilePlain(OperationServices& host, const std::string& fileName,
                       std::int64_t pieceBytes, bool writeList) {
    return SplitRun(host, fileName, pieceBytes, writeList, true).Run();
}

}  // namespace zirared
