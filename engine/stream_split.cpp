#include "stream_split.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "file_error.h"
#include "file_streams.h"
#include "message_text.h"
#include "operation_run.h"
#include "path_queries.h"
#include "piece_set.h"
#include "set_digests.h"
#include "shown_name.h"
#include "split_rules.h"
#include "standard_streams.h"

namespace zirared {
namespace {

class StreamSplitRun final : public OperationRun {
public:
    StreamSplitRun(OperationServices& host, ByteSource& input, const std::string& name,
                   std::int32_t filesizeKB)
        : OperationRun(host),
          m_input(input),
          m_name(name),
          m_pieceDataSize(PieceDataSize(filesizeKB)),
          m_listPath(ListPathFor(name)) {}

private:
    Outcome Body() override {
        if (m_pieceDataSize <= 0) {
            throw FileError(EINVAL, "Dimensione dei pezzi non valida.");
        }
        const PieceNaming naming = NamePiecesAfter(m_name);
        if (naming.refusal) {
            return Refuse(*naming.refusal);
        }
        m_stem = naming.stem;
        m_suffix = naming.suffix;
        const std::string first = PiecePath(m_stem, 0);
        if (!OutputNamesFit(first)) {
            return Refuse(NameTooLongText(first));
        }
        // A join of the set standing there holds its first piece, which this split replaces.
        if (kLockedFileCanBeReplaced && !m_firstPieceLock.TryLock(first)) {
            return Refuse(InUseText(first));
        }
        // Asked now, while the input can still go elsewhere: the count is known only at its
        // end, so every name a piece may take is looked at.
        if (!OverwriteAgreed(m_host, ForeignFiles())) {
            return Outcome::Declined;
        }
        RemoveAbandonedTemporaryFiles(PiecePaths(kMaxPieceCount));
        AllowOpenFiles(static_cast<std::size_t>(kMaxPieceCount) + 64);
        m_host.SetBusy(true);
        m_host.ClearStopFlag();
        if (const std::optional<std::string> tooMany = ReadInput()) {
            return Abandon(*tooMany, Outcome::Failed);
        }
        if (Abandoned()) {
            return Stop();
        }
        if (m_length <= m_pieceDataSize) {
            return Abandon(TooSmallText(), Outcome::Refused);
        }
        if (StartsWithMagic(m_head)) {
            return Abandon(AlreadySplitText(), Outcome::Refused);
        }
        const std::vector<std::string> paths = PiecePaths(static_cast<int>(m_pieces.size()));
        if (std::find(paths.begin(), paths.end(), m_name) != paths.end()) {
            return Abandon(SourceNameTakenText(), Outcome::Refused);
        }
        return PutInPlace(paths);
    }

    // Files at the names pieces may take, but for pieces of an earlier split of this name.
    std::vector<std::string> ForeignFiles() const {
        std::vector<std::string> foreign;
        for (const std::string& path : PiecePaths(kMaxPieceCount)) {
            const std::optional<PathKind> kind = KindOfPath(path);
            if (kind && kind != PathKind::Directory && !IsPieceOfSource(path, m_suffix)) {
                foreign.push_back(path);
            }
        }
        return foreign;
    }

    std::vector<std::string> PiecePaths(std::int64_t count) const {
        std::vector<std::string> paths;
        for (int k = 0; k < count; ++k) {
            paths.push_back(PiecePath(m_stem, k));
        }
        return paths;
    }

    // Reads to the end of the input, a stop or an end; returns the warning when the input
    // needs more pieces than a set may have.
    std::optional<std::string> ReadInput() {
        const auto buffer = std::make_unique<char[]>(kChunkBytes);
        OpenPiece();
        std::int64_t dataInPiece = 0;
        for (;;) {
            m_host.SetSplitStatus(StatusText());
            if (Abandoned()) {
                return std::nullopt;
            }
            m_host.ProcessPendingEvents();
            const std::optional<std::size_t> got = m_input.ReadSome(buffer.get(), kChunkBytes);
            if (!got) {
                continue;  // a signal: the stop flag says whether to go on
            }
            if (*got == 0) {
                return std::nullopt;
            }
            std::span<const char> block(buffer.get(), *got);
            m_length += static_cast<std::int64_t>(block.size());
            const std::size_t headMissing = kHeaderBytes - std::min(kHeaderBytes, m_head.size());
            m_head.append(block.data(), std::min(headMissing, block.size()));
            do {
                const auto room = static_cast<std::size_t>(m_pieceDataSize - dataInPiece);
                const std::size_t now = std::min(room, block.size());
                m_pieces.back()->Write(block.first(now));
                block = block.subspan(now);
                dataInPiece += static_cast<std::int64_t>(now);
                if (dataInPiece == m_pieceDataSize) {
                    if (static_cast<std::int64_t>(m_pieces.size()) == kMaxPieceCount) {
                        return std::string(
                                   "I dati in ingresso richiederebbero più di 999 "
                                   "files per ") +
                               ShownName(m_name) + "!" + kLineBreak +
                               "Scegliere una dimensione maggiore e riprovare.";
                    }
                    OpenPiece();
                    dataInPiece = 0;
                }
            } while (!block.empty());
        }
    }

    // The header takes a count of 000 until the count is known.
    void OpenPiece() {
        const int index = static_cast<int>(m_pieces.size());
        m_pieces.push_back(std::make_unique<OutputFile>());
        m_pieces.back()->CreateFor(PiecePath(m_stem, index), FileAccess{});
        m_pieces.back()->Write(BuildHeader(index, 0, m_suffix));
    }

    // The count into every header, the pieces on disk, then their names: the last rename
    // completes the split.
    Outcome PutInPlace(const std::vector<std::string>& paths) {
        for (const std::string& path : paths) {
            if (KindOfPath(path) == PathKind::Directory) {
                throw SystemError(kIsADirectoryNumber, path, FileAction::Create);
            }
        }
        const CountField count = BuildCountField(static_cast<int>(paths.size()));
        for (const std::unique_ptr<OutputFile>& piece : m_pieces) {
            piece->WriteAt(static_cast<std::int64_t>(kCountFieldOffset), count);
        }
        // One sync of the file system for all of them, before any takes its name.
        SyncFileSystemOf(paths.front());
        if (IsListOfEarlierSplit(m_listPath, m_name, m_stem)) {
            if (const std::optional<int> error = RemoveFile(m_listPath)) {
                throw SystemError(*error, m_listPath, FileAction::Delete);
            }
        }
        for (std::size_t k = 0; k < m_pieces.size(); ++k) {
            if (k + 1 == m_pieces.size() && Abandoned()) {
                return Stop();
            }
            m_pieces[k]->Commit(false);
            m_written.push_back(m_pieces[k]->Identity());
        }
        SyncFileSystemOf(paths.back());  // the names
        const int written = static_cast<int>(paths.size());
        m_host.SetSplitStatus(SplitDoneStatus(written));
        m_host.ShowMessage(SplitDoneText(m_name, written), MessageKind::Information);
        GiveControlsBack();
        return Outcome::Completed;
    }

    bool Abandoned() {
        m_abandoned = m_abandoned || m_host.StopRequested() || m_host.EndRequested();
        return m_abandoned;
    }

    const std::string& StatusText() {
        const int index = static_cast<int>(m_pieces.size());
        if (m_statusPiece != index) {
            m_statusPiece = index;
            m_status = "File n° " + std::to_string(index) + "  in scrittura";
        }
        return m_status;
    }

    Outcome Abandon(const std::string& warning, Outcome outcome) {
        TakeBack();
        m_host.SetSplitStatus("");
        m_host.ShowMessage(warning, MessageKind::Warning);
        GiveControlsBack();
        return outcome;
    }

    Outcome Stop() {
        TakeBack();
        m_host.SetSplitStatus("");
        m_host.ShowMessage("Operazione terminata volontariamente", MessageKind::Information);
        GiveControlsBack();
        return Outcome::Stopped;
    }

    // What the run wrote, and only that: a piece another run put in its place since stays.
    void TakeBack() override {
        for (const std::unique_ptr<OutputFile>& piece : m_pieces) {
            piece->Discard();
        }
        for (std::size_t k = 0; k < m_written.size(); ++k) {
            RemoveIfSameFile(PiecePath(m_stem, static_cast<int>(k)), m_written[k]);
        }
        m_written.clear();
    }

    void GiveControlsBack() override {
        if (m_host.ProgressBarCreated()) {
            m_host.RemoveProgressBar();
        }
        m_host.SetBusy(false);
    }

    FileLock m_firstPieceLock;
    ByteSource& m_input;
    const std::string& m_name;
    const std::int64_t m_pieceDataSize;
    const std::string m_listPath;
    std::string m_stem;
    SuffixBytes m_suffix{};
    std::vector<std::unique_ptr<OutputFile>> m_pieces;  // all open until the input ends
    std::vector<FileIdentity> m_written;                // the pieces renamed, in order
    std::int64_t m_length = 0;
    std::string m_head;  // the input's first bytes
    bool m_abandoned = false;
    int m_statusPiece = -1;
    std::string m_status;
};

}  // namespace

Outcome SplitStream(OperationServices& host, ByteSource& input, const std::string& name,
                    std::int32_t filesizeKB) {
    return StreamSplitRun(host, input, name, filesizeKB).Run();
}

}  // namespace zirared
