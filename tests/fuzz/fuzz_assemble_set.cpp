// Builds a piece set from the input in a fresh folder (files, folders, FIFOs, hard and symbolic
// links among the pieces and at the output path), then runs the set check and the assembly on
// it and holds both to a model of the reading rules written out here again: the check writes
// nothing and reports what the model finds; the assembly judges the whole set before it asks
// or touches anything, ends as the model says, never changes a piece, writes its output under
// a hidden temporary name beside the target and renames it in only when complete, leaves
// whatever stands at the output path unchanged unless it completed and no temporary file
// behind, and a rebuilt file holds exactly the pieces' data. The input may also change a piece
// behind the copy's back, or end the process, half way through the copy.
//
// Pieces are as long as a split writes them (whole size units of 1,433,600 bytes), so they are
// sparse: a header and a few marked bytes at each end, and zeros between that the file system
// does not store. Contents are compared by digests that skip zero chunks.
//
// The seeds in corpus/fuzz_assemble_set are named by how they end; ZIRARED_FUZZ_OUTCOME=1
// prints that for each input run.

#include <fcntl.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "assemble_file.h"
#include "check_piece_set.h"
#include "fuzz_require.h"
#include "piece_bytes.h"
#include "piece_set.h"
#include "plain_set.h"
#include "scripted_host.h"
#include "windows1252.h"

namespace zirared {
namespace {

namespace fs = std::filesystem;
using test::Digits;

constexpr int kMaxEntries = 6;
constexpr std::int64_t kHeader = 16;
constexpr std::int64_t kUnit = kSizeUnitBytes;
constexpr std::int64_t kMaxMark = 8;  // marked bytes after the header and at a piece's end
constexpr const char* kTemporaryTag = ".zirared-";

// ---- file contents: a head, zeros, a tail ----

struct Image {
    std::int64_t length = 0;
    std::string head;  // from offset 0
    std::string tail;  // ends at length; head and tail never overlap

    // count bytes from offset from, within the file.
    std::string Range(std::int64_t from, std::int64_t count) const {
        std::string bytes(static_cast<std::size_t>(count), '\0');
        const auto place = [&](const std::string& part, std::int64_t at) {
            const std::int64_t begin = std::max(at, from);
            const std::int64_t end =
                std::min(at + static_cast<std::int64_t>(part.size()), from + count);
            for (std::int64_t i = begin; i < end; ++i) {
                bytes[static_cast<std::size_t>(i - from)] = part[static_cast<std::size_t>(i - at)];
            }
        };
        place(head, 0);
        place(tail, length - static_cast<std::int64_t>(tail.size()));
        return bytes;
    }

    // The file cut to newLength bytes (no longer than it is).
    Image Cut(std::int64_t newLength) const {
        Image cut;
        cut.length = newLength;
        cut.head = head.substr(0, static_cast<std::size_t>(std::min<std::int64_t>(
                                      newLength, static_cast<std::int64_t>(head.size()))));
        const std::int64_t tailStart = length - static_cast<std::int64_t>(tail.size());
        if (newLength > tailStart) {
            cut.tail = tail.substr(0, static_cast<std::size_t>(newLength - tailStart));
        }
        return cut;
    }
};

Image MakeImage(const std::string& head, const std::string& tail, std::int64_t length) {
    Image image;
    image.length = length;
    image.head =
        head.substr(0, static_cast<std::size_t>(std::min<std::int64_t>(length, std::ssize(head))));
    if (std::ssize(image.head) + std::ssize(tail) <= length) {
        image.tail = tail;
    }
    return image;
}

// Writes the image as a new sparse file: only its marked bytes are stored.
void WriteImage(const std::string& path, const Image& image, mode_t mode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    FUZZ_REQUIRE(fd >= 0, "scratch file created");
    const auto put = [&](const std::string& part, std::int64_t at) {
        FUZZ_REQUIRE(::pwrite(fd, part.data(), part.size(), at) == std::ssize(part),
                     "scratch file written");
    };
    put(image.head, 0);
    put(image.tail, image.length - std::ssize(image.tail));
    FUZZ_REQUIRE(::ftruncate(fd, image.length) == 0, "scratch file sized");
    FUZZ_REQUIRE(::fchmod(fd, mode) == 0, "scratch file's mode set");  // whatever the umask
    ::close(fd);
}

// Calls each(offset, chunk) over the file's bytes; false when it cannot be read.
template <typename Each>
bool ReadChunks(const std::string& path, Each each) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    static std::array<char, 1 << 16> buffer;
    std::int64_t offset = 0;
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        FUZZ_REQUIRE(got >= 0, "scratch file read");
        if (got == 0) {
            break;
        }
        each(offset, std::string_view(buffer.data(), static_cast<std::size_t>(got)));
        offset += got;
    }
    ::close(fd);
    return true;
}

bool IsZero(std::string_view bytes) {
    static const std::array<char, 1 << 16> kZeros{};
    return std::memcmp(bytes.data(), kZeros.data(), bytes.size()) == 0;
}

// A digest of a file's bytes; a chunk of zeros, most of a sparse piece, costs one comparison.
std::uint64_t Digest(const std::string& path) {
    std::uint64_t digest = 14695981039346656037ULL;
    const auto mix = [&](std::uint64_t value) { digest = (digest ^ value) * 1099511628211ULL; };
    const bool read = ReadChunks(path, [&](std::int64_t offset, std::string_view chunk) {
        mix(static_cast<std::uint64_t>(offset));
        mix(chunk.size());
        if (!IsZero(chunk)) {
            mix(std::hash<std::string_view>{}(chunk));
        }
    });
    FUZZ_REQUIRE(read, "listed file opens");
    return digest;
}

// ---- the scratch root: one per process, a fresh "case" folder inside it per input ----

std::string g_root;

// How often each outcome came up: ZIRARED_FUZZ_STATS=1 prints it at exit, to see that the
// inputs reach every ending and not only the early refusals. ZIRARED_FUZZ_OUTCOME=1 prints
// each run's, with what the host was told, to sort inputs into seeds.
std::map<std::string, long> g_outcomes;

void PrintOutcomes() {
    if (std::getenv("ZIRARED_FUZZ_STATS") != nullptr) {
        for (const auto& [outcome, times] : g_outcomes) {
            std::fprintf(stderr, "%s: %ld\n", outcome.c_str(), times);
        }
    }
}

void RemoveRoot() {
    std::error_code ignored;
    fs::remove_all(g_root, ignored);
}

const std::string& ScratchRoot() {
    if (g_root.empty()) {
        std::string pattern = (fs::temp_directory_path() / "zirared-fuzz-XXXXXX").string();
        FUZZ_REQUIRE(::mkdtemp(pattern.data()) != nullptr, "scratch root made");
        g_root = pattern;
        // Neighbours of the case folder that nothing may touch.
        WriteImage(g_root + "/report.doc", MakeImage("outside the case folder", "", 23), 0644);
        WriteImage(g_root + "/000", MakeImage("outside the case folder", "", 23), 0644);
        std::atexit(RemoveRoot);
        std::atexit(PrintOutcomes);
    }
    return g_root;
}

// What is on disk under a folder: type, identity and content of every entry.
struct Entry {
    char type = 'f';  // f file, d directory, l symbolic link, o other
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    mode_t mode = 0;
    std::int64_t size = 0;
    std::uint64_t digest = 0;
    std::string linkTarget;
    bool operator==(const Entry&) const = default;
};
using Listing = std::map<std::string, Entry>;  // by path below the root

// What stands at path, a final link not followed; nothing when nothing does.
std::optional<Entry> EntryAt(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    Entry entry;
    entry.type = S_ISREG(status.st_mode)   ? 'f'
                 : S_ISDIR(status.st_mode) ? 'd'
                 : S_ISLNK(status.st_mode) ? 'l'
                                           : 'o';
    entry.device = status.st_dev;
    entry.inode = status.st_ino;
    entry.mode = status.st_mode;
    if (entry.type == 'f') {
        entry.size = status.st_size;
        entry.digest = Digest(path);
    } else if (entry.type == 'l') {
        entry.linkTarget = fs::read_symlink(path).string();
    }
    return entry;
}

Listing ListTree(const std::string& root) {
    Listing listing;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        const std::string path = item.path().string();
        const std::optional<Entry> entry = EntryAt(path);
        FUZZ_REQUIRE(entry.has_value(), "listed entry exists");
        listing[path.substr(root.size())] = *entry;
    }
    return listing;
}

// ---- building the set ----

std::string PatternData(std::size_t size, int seed) {
    std::string bytes(size, '\0');
    unsigned state = 2654435761U * static_cast<unsigned>(seed + 1);
    for (auto& byte : bytes) {
        state = state * 1103515245U + 12345U;
        byte = static_cast<char>(state >> 23);
    }
    return bytes;
}

bool IsPlainAsciiName(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(),
                                        [](char c) { return c > ' ' && c < 0x7F && c != '/'; });
}

// The regular files made for this input, by identity: hard and symbolic links share them.
std::map<std::pair<std::uint64_t, std::uint64_t>, Image> g_images;

std::pair<std::uint64_t, std::uint64_t> IdentityKey(const struct stat& status) {
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

void MakeFile(const std::string& path, const Image& image, mode_t mode) {
    WriteImage(path, image, mode);
    struct stat status {};
    FUZZ_REQUIRE(::stat(path.c_str(), &status) == 0 && status.st_size == image.length,
                 "scratch file as long as made");
    g_images[IdentityKey(status)] = image;
}

struct Tamper {
    enum class Kind { None, Remove, Folder, Cut, End } kind = Kind::None;  // End: SIGTERM, say
    int pass = 0;       // the event pass of the copy at which it happens
    int ahead = 1;      // how many pieces past the one being copied; 0 is that one
    int cutChoice = 0;  // which length a cut piece keeps
};

struct CaseSetup {
    std::string dir;  // ends with '/'
    std::string chosenPath;
    bool deleteChoice = false;
    Answer firstAnswer = Answer::Yes;
    Answer secondAnswer = Answer::Yes;
    Tamper tamper;
};

std::string MakeHeader(FuzzedDataProvider& input, int index, int count, const std::string& suffix) {
    std::string header = test::PieceHeader(index, count, suffix);
    switch (input.ConsumeIntegralInRange(0, 9)) {
        case 7: {  // one byte changed
            const auto at = input.ConsumeIntegralInRange<std::size_t>(0, header.size() - 1);
            header[at] = static_cast<char>(input.ConsumeIntegral<std::uint8_t>());
            break;
        }
        case 8:  // cut short
            header.resize(input.ConsumeIntegralInRange<std::size_t>(0, header.size() - 1));
            break;
        case 9:  // anything at all
            header = input.ConsumeBytesAsString(input.ConsumeIntegralInRange(0, 16));
            break;
        default:
            break;
    }
    return header;
}

// A piece file's whole length: most often what a split writes at its place (full pieces, then
// a shorter last one), otherwise a length at the edge of one of the rules.
std::int64_t ChooseLength(FuzzedDataProvider& input, std::int64_t full, bool last) {
    const auto some = [&] { return input.ConsumeIntegralInRange<std::int64_t>(1, 2 * kMaxMark); };
    switch (input.ConsumeIntegralInRange(0, 17)) {
        case 10:
            return full - 1;  // a byte lost
        case 11:
            return full + 1;  // a byte gained
        case 12:
            return kHeader;  // a bare header
        case 13:
            return input.ConsumeIntegralInRange<std::int64_t>(0, kHeader - 1);  // header cut
        case 14:
            return kHeader + some();  // a little data
        case 15:
            return full + kUnit;  // whole units, but more than piece 0's
        case 16:
            return full - kUnit;  // whole units, but fewer (none at all for one unit)
        case 17:
            return full - some();
        default:
            break;
    }
    if (!last) {
        return full;
    }
    switch (input.ConsumeIntegralInRange(0, 4)) {
        case 0:
            return kHeader;  // the source was a whole number of pieces
        case 1:
            return kHeader + some();
        case 2:
            return full - 1;
        case 3:
            return full - kUnit / 2;
        default:
            return full;  // a whole piece where a shorter one belongs
    }
}

mode_t ChooseMode(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 6)) {
        case 3:
            return 0600;  // bits a replaced output keeps, unlike a new file's
        case 4:
            return 0755;
        case 5:
            return 0444;  // read-only: an output there cannot be replaced
        case 6:
            return 0;  // unreadable too, though not to root
        default:
            return 0644;
    }
}

CaseSetup BuildCase(FuzzedDataProvider& input, const std::string& dir) {
    static const char* const kStems[] = {"report.", "p", "a.b.", "", "x"};
    const std::string stem = dir + input.PickValueInArray(kStems);
    // Choices read as 0 once the input is used up: 0 always picks the most ordinary case, so
    // that short inputs make whole sets too.
    const int setCount = input.PickValueInArray({2, 3, 1, 4, 5});
    std::string suffix;
    if (input.ConsumeIntegralInRange(0, 3) == 3) {
        suffix = input.ConsumeBytesAsString(3);
        suffix.resize(3, ' ');
    } else {
        static const char* const kSuffixes[] = {"doc", "001", "002", "abc", ".zz", "000"};
        suffix = input.PickValueInArray(kSuffixes);
    }
    const std::string outputName = stem + DecodeWindows1252(suffix);
    const std::int64_t full = kHeader + kUnit * (input.ConsumeIntegralInRange(0, 3) == 3 ? 2 : 1);

    std::vector<std::string> made;       // every entry, in order
    std::vector<std::string> madeFiles;  // the regular files among them
    const int entries = (input.ConsumeIntegralInRange(0, kMaxEntries) + 2) % (kMaxEntries + 1);
    for (int e = 0; e < entries; ++e) {
        std::string path;
        int k = e;
        switch (input.ConsumeIntegralInRange(0, 8)) {
            case 6:
                k = input.ConsumeIntegralInRange(0, 9);
                path = stem + Digits(k);
                break;
            case 7:
                path = outputName;  // something already at the rebuilt path
                break;
            case 8:
                path = stem + "abc";
                break;
            default:
                path = stem + Digits(k);
                break;
        }
        if (path.find('\0') != std::string::npos ||
            path.find('/', dir.size()) != std::string::npos || path.size() == dir.size() ||
            fs::exists(fs::symlink_status(path))) {
            continue;
        }
        const int kind = input.ConsumeIntegralInRange(0, 16);
        if (kind == 11) {
            fs::create_directory(path);
        } else if (kind == 12 && !madeFiles.empty()) {
            fs::create_hard_link(
                madeFiles[input.ConsumeIntegralInRange<std::size_t>(0, madeFiles.size() - 1)],
                path);
        } else if (kind == 13 && !made.empty()) {  // a link to an earlier entry, by name
            fs::create_symlink(
                made[input.ConsumeIntegralInRange<std::size_t>(0, made.size() - 1)].substr(
                    dir.size()),
                path);
        } else if (kind == 14) {
            fs::create_symlink("gone", path);  // a link that leads nowhere
        } else if (kind == 15) {
            FUZZ_REQUIRE(::mkfifo(path.c_str(), 0644) == 0, "FIFO made");  // never to be opened
        } else if (kind == 16) {  // a link to a file in another folder
            const std::string target = "sub/" + path.substr(dir.size());
            fs::create_directories(dir + "sub");
            MakeFile(dir + target, MakeImage("in another folder", "", 17), ChooseMode(input));
            fs::create_symlink(target, path);
        } else {
            const bool sameSet = input.ConsumeIntegralInRange(0, 5) != 5;
            const int index = sameSet ? k : input.ConsumeIntegralInRange(0, 999);
            const int count = sameSet ? setCount : input.ConsumeIntegralInRange(0, 7);
            const std::string pieceSuffix =
                input.ConsumeIntegralInRange(0, 7) == 7 ? "dox" : suffix;
            const std::string header = MakeHeader(input, index, count, pieceSuffix);
            const std::int64_t length = ChooseLength(input, full, k == setCount - 1);
            const std::string head =
                header + PatternData(input.ConsumeIntegralInRange<std::size_t>(0, kMaxMark), e);
            const std::string tail =
                PatternData(input.ConsumeIntegralInRange<std::size_t>(0, kMaxMark), e + 10);
            MakeFile(path, MakeImage(head, tail, length), ChooseMode(input));
            madeFiles.push_back(path);
        }
        made.push_back(path);
    }

    CaseSetup setup;
    setup.dir = dir;
    const auto fileName = [&](const std::string& path) { return path.substr(dir.size()); };
    switch (input.ConsumeIntegralInRange(0, 7)) {
        case 5:
            setup.chosenPath = stem + "abc";
            break;
        case 6:
            if (!made.empty() && IsPlainAsciiName(fileName(made.back()))) {
                setup.chosenPath = made.back();
            } else {
                setup.chosenPath = stem + "000";
            }
            break;
        case 7:
            setup.chosenPath = dir + "none.000";
            break;
        default:
            setup.chosenPath = stem + "000";
            break;
    }
    if (!IsPlainAsciiName(fileName(setup.chosenPath))) {
        setup.chosenPath = dir + "none.000";  // "000" alone with the empty stem is fine too
    }
    setup.deleteChoice = input.ConsumeBool();
    setup.firstAnswer = input.ConsumeBool() ? Answer::No : Answer::Yes;
    setup.secondAnswer = input.ConsumeBool() ? Answer::No : Answer::Yes;
    if (input.ConsumeIntegralInRange(0, 3) == 3) {
        setup.tamper.kind =
            input.PickValueInArray({Tamper::Kind::Remove, Tamper::Kind::Folder, Tamper::Kind::Cut,
                                    Tamper::Kind::Cut, Tamper::Kind::End});
        // A piece of one unit is copied in 140 blocks, one event pass each.
        setup.tamper.pass = input.ConsumeIntegralInRange(1, 300);
        setup.tamper.ahead = input.ConsumeIntegralInRange(0, 3);
        setup.tamper.cutChoice = input.ConsumeIntegralInRange(0, 3);
    }
    return setup;
}

// ---- the model: the reading rules written out again ----

struct ModelFile {
    enum class State { Missing, Directory, Special, File } state = State::Missing;
    Image image;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    mode_t mode = 0;
};

// What reading path finds, links followed.
ModelFile Look(const std::string& path) {
    ModelFile file;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return file;
    }
    file.device = status.st_dev;
    file.inode = status.st_ino;
    file.mode = status.st_mode;
    if (S_ISDIR(status.st_mode)) {
        file.state = ModelFile::State::Directory;
    } else if (!S_ISREG(status.st_mode)) {
        file.state = ModelFile::State::Special;
    } else {
        const auto image = g_images.find(IdentityKey(status));
        FUZZ_REQUIRE(image != g_images.end(), "every regular file was made here");
        file.state = ModelFile::State::File;
        file.image = image->second;
    }
    return file;
}

bool Present(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

// Where the symbolic links at path lead, by name within the case folder: path itself when it
// is no link; empty when the links lead nowhere.
std::optional<std::string> FinalPath(const std::string& path, const std::string& dir) {
    std::string at = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status {};
        if (::lstat(at.c_str(), &status) != 0) {
            return hop == 0 ? std::optional(at) : std::nullopt;
        }
        if (!S_ISLNK(status.st_mode)) {
            return at;
        }
        at = dir + fs::read_symlink(at).string();
    }
    return std::nullopt;
}

struct ModelHeader {
    bool magic = false;
    int index = 0;
    int count = 0;
    std::string suffix;
};

ModelHeader ModelParse(const std::string& bytes) {
    std::string padded = bytes.substr(0, 16);
    padded.resize(16, ' ');
    const auto number = [&](std::size_t at) {
        std::size_t i = at;
        while (i < at + 3 && padded[i] == ' ') {
            ++i;
        }
        int value = 0;
        for (; i < at + 3 && padded[i] >= '0' && padded[i] <= '9'; ++i) {
            value = value * 10 + (padded[i] - '0');
        }
        return value;
    };
    return {padded.compare(0, 7, "VAVOVOZ") == 0, number(7), number(10), padded.substr(13)};
}

ModelHeader HeaderOf(const Image& image) {
    return ModelParse(image.Range(0, std::min(kHeader, image.length)));
}

// In Windows-1252 the control characters are the bytes below 0x20 and 0x7F themselves, and
// the five bytes the code page leaves undefined, which decode to C1 controls.
bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F ||
           byte == 0x90 || byte == 0x9D;
}

// The lengths a split writes: piece 0 and every middle piece carry the same positive whole
// number of size units, the last piece less than piece 0 (a bare header at least).
bool LengthFits(std::int64_t length, std::int64_t pieceZeroLength, bool last, bool isPieceZero) {
    const std::int64_t data = pieceZeroLength - kHeader;
    const bool whole = data > 0 && data % kUnit == 0;
    if (last) {
        return length < pieceZeroLength && (!isPieceZero || whole);
    }
    return length == pieceZeroLength && whole;
}

// Piece j's problem, if any, as the check names it.
std::optional<SetProblemKind> PieceProblem(const ModelFile& piece, const ModelHeader& first, int j,
                                           std::int64_t pieceZeroLength) {
    switch (piece.state) {
        case ModelFile::State::Missing:
            return SetProblemKind::Missing;
        case ModelFile::State::Directory:
        case ModelFile::State::Special:
            return SetProblemKind::Unreadable;
        case ModelFile::State::File:
            break;
    }
    const std::int64_t length = piece.image.length;
    const ModelHeader header = HeaderOf(piece.image);
    if (!header.magic) {
        return SetProblemKind::NotAPiece;
    }
    if (length < kHeader) {
        return SetProblemKind::WrongLength;
    }
    if (header.index != j) {
        return SetProblemKind::OutOfSequence;
    }
    if (header.count != first.count || header.suffix != first.suffix) {
        return SetProblemKind::OtherSet;
    }
    if (!LengthFits(length, j == 0 ? length : pieceZeroLength, j == first.count - 1, j == 0)) {
        return SetProblemKind::WrongLength;
    }
    return std::nullopt;
}

struct Expected {
    std::vector<std::pair<SetProblemKind, std::string>> problems;
    std::set<std::string> leftovers;
    bool rebuiltNotReplaceable = false;
    bool chosenOpensASet = false;
    bool chosenUnreadable = false;
    ModelHeader first;
    std::string stem;
    std::string rebuiltPath;
    std::optional<std::string> rebuiltTarget;  // the file a rename replaces; empty: nowhere
    std::int64_t rebuiltSize = 0;
    bool rebuiltExists = false;
    bool rebuiltWritable = false;
    bool rebuiltIsAPiece = false;
    std::int64_t pieceZeroLength = 0;
    std::vector<ModelFile> pieces;  // as found, then as a tamper left them
};

Expected Model(const CaseSetup& setup) {
    Expected expected;
    const std::string& chosenPath = setup.chosenPath;
    const ModelFile chosen = Look(chosenPath);
    if (chosen.state != ModelFile::State::File) {
        const bool missing = chosen.state == ModelFile::State::Missing;
        expected.problems.emplace_back(
            missing ? SetProblemKind::Missing : SetProblemKind::Unreadable, chosenPath);
        expected.chosenUnreadable = !missing;
        return expected;
    }
    const ModelHeader first = HeaderOf(chosen.image);
    const bool nameLongEnough = chosenPath.size() - setup.dir.size() >= 3;  // ASCII names
    const bool plainSuffix = first.suffix.find('/') == std::string::npos &&
                             std::none_of(first.suffix.begin(), first.suffix.end(), IsControl);
    if (!first.magic || !nameLongEnough || !plainSuffix || (first.index == 0 && first.count == 0)) {
        expected.problems.emplace_back(SetProblemKind::NotValid, chosenPath);
        return expected;
    }
    if (first.index != 0) {
        expected.problems.emplace_back(SetProblemKind::NotTheFirst, chosenPath);
        return expected;
    }
    expected.chosenOpensASet = true;
    expected.first = first;
    expected.stem = chosenPath.substr(0, chosenPath.size() - 3);
    expected.rebuiltPath = expected.stem + DecodeWindows1252(first.suffix);

    // When piece 0 does not fit, the chosen file (same first header) stands in for it.
    std::int64_t pieceZeroLength = chosen.image.length;
    for (int j = 0; j < first.count; ++j) {
        const std::string path = expected.stem + Digits(j);
        const ModelFile piece = Look(path);
        expected.pieces.push_back(piece);
        if (piece.state == ModelFile::State::File) {
            expected.rebuiltSize += std::max<std::int64_t>(0, piece.image.length - kHeader);
        }
        if (auto problem = PieceProblem(piece, first, j, pieceZeroLength)) {
            expected.problems.emplace_back(*problem, path);
        } else if (j == 0) {
            pieceZeroLength = piece.image.length;
        }
    }
    expected.pieceZeroLength = pieceZeroLength;

    const ModelFile rebuilt = Look(expected.rebuiltPath);
    const auto sameFile = [&](const ModelFile& file, const std::string& path) {
        return path == expected.rebuiltPath ||
               (rebuilt.state != ModelFile::State::Missing &&
                file.state != ModelFile::State::Missing && file.device == rebuilt.device &&
                file.inode == rebuilt.inode);
    };
    expected.rebuiltIsAPiece = sameFile(chosen, chosenPath);
    for (int j = 0; j < first.count; ++j) {
        expected.rebuiltIsAPiece =
            expected.rebuiltIsAPiece ||
            sameFile(expected.pieces[static_cast<std::size_t>(j)], expected.stem + Digits(j));
    }
    if (expected.rebuiltIsAPiece) {
        expected.problems.emplace_back(SetProblemKind::RebuiltIsAPiece, expected.rebuiltPath);
    }

    // Anything named like a piece beyond the count: only this case's own names can exist.
    for (const auto& item : fs::directory_iterator(setup.dir)) {
        const std::string path = item.path().string();
        const std::string tail = path.substr(std::min(path.size(), expected.stem.size()));
        const bool pieceName =
            path.starts_with(expected.stem) && tail.size() == 3 &&
            std::all_of(tail.begin(), tail.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (pieceName && std::stoi(tail) >= first.count) {
            expected.leftovers.insert(path);
        }
    }

    // Anything at the output path counts, a folder, a FIFO or a link to nowhere included;
    // only a regular file the user may write, not hidden, can be replaced.
    expected.rebuiltExists = Present(expected.rebuiltPath);
    expected.rebuiltTarget = FinalPath(expected.rebuiltPath, setup.dir);
    const bool hidden = expected.rebuiltPath.compare(setup.dir.size(), 1, ".") == 0;
    expected.rebuiltWritable =
        rebuilt.state == ModelFile::State::File && (rebuilt.mode & S_IWUSR) != 0 && !hidden;
    expected.rebuiltNotReplaceable = expected.rebuiltExists && !expected.rebuiltWritable;
    return expected;
}

void CompareReport(const SetCheckReport& report, const Expected& expected) {
    std::vector<std::pair<SetProblemKind, std::string>> problems;
    for (const auto& problem : report.problems) {
        FUZZ_REQUIRE(!problem.text.empty(), "every problem says why");
        problems.emplace_back(problem.kind, problem.path);
    }
    if (problems != expected.problems) {
        for (const auto& problem : report.problems) {
            std::fprintf(stderr, "reported: %d %s\n", static_cast<int>(problem.kind),
                         problem.text.c_str());
        }
        for (const auto& [kind, path] : expected.problems) {
            std::fprintf(stderr, "expected: %d %s\n", static_cast<int>(kind), path.c_str());
        }
    }
    FUZZ_REQUIRE(problems == expected.problems, "the check reports what the model finds");
    FUZZ_REQUIRE(report.IsConsistent() == expected.problems.empty(), "consistency verdict");
    if (!expected.chosenOpensASet) {
        FUZZ_REQUIRE(report.notes.empty() && report.rebuiltPath.empty() && report.pieceCount == 0,
                     "nothing more after a chosen file that opens no set");
        return;
    }
    FUZZ_REQUIRE(report.pieceCount == expected.first.count, "piece count");
    FUZZ_REQUIRE(report.rebuiltPath == expected.rebuiltPath, "rebuilt path");
    FUZZ_REQUIRE(report.rebuiltSize == expected.rebuiltSize, "rebuilt size");
    FUZZ_REQUIRE(report.rebuiltExists == expected.rebuiltExists, "rebuilt file exists");
    std::set<std::string> leftovers;
    bool notReplaceable = false;
    for (const auto& note : report.notes) {
        FUZZ_REQUIRE(note.text.find(note.path) != std::string::npos, "a note names its file");
        if (note.kind == SetNoteKind::LeftoverPiece) {
            leftovers.insert(note.path);
        } else {
            notReplaceable = true;
        }
    }
    FUZZ_REQUIRE(leftovers == expected.leftovers, "leftover pieces noted");
    FUZZ_REQUIRE(notReplaceable == expected.rebuiltNotReplaceable, "unreplaceable output noted");
}

// ---- the assembly ----

// What the assembly should do with the set as the model found it.
struct Plan {
    Outcome outcome = Outcome::Refused;
    bool asks = false;         // the overwrite question
    bool copies = false;       // a bar, a temporary file, the pieces read
    bool deletes = false;      // the pieces go on the user's Yes
    std::string warningAbout;  // the file a refusal or failure names, when it names one
    std::string why;           // a few words for the statistics and the seeds' names
};

const char* ProblemName(SetProblemKind kind) {
    static const char* const kNames[] = {
        "not_valid",    "not_the_first", "missing_piece", "unreadable_piece",   "not_a_piece",
        "out_of_order", "other_set",     "wrong_length",  "rebuilt_is_a_piece",
    };
    return kNames[static_cast<int>(kind)];
}

Plan PlanAssembly(const Expected& expected, const CaseSetup& setup) {
    Plan plan;
    if (!expected.chosenOpensASet) {
        plan.outcome = expected.chosenUnreadable ? Outcome::Failed : Outcome::Refused;
        plan.why = expected.chosenUnreadable ? "chosen_not_a_file"
                                             : ProblemName(expected.problems.front().first);
        if (expected.chosenUnreadable) {
            plan.warningAbout = setup.chosenPath;
        }
        return plan;
    }
    if (expected.rebuiltIsAPiece) {
        plan.warningAbout = expected.rebuiltPath;
        plan.why = "rebuilt_is_a_piece";
        return plan;
    }
    // The whole set is judged first; the first problem ends the run before anything is asked.
    for (const auto& [kind, path] : expected.problems) {
        plan.warningAbout = path;
        plan.outcome = kind == SetProblemKind::Unreadable ? Outcome::Failed : Outcome::Refused;
        plan.why = ProblemName(kind);
        return plan;
    }
    if (!expected.rebuiltTarget) {  // a link that leads nowhere
        plan.warningAbout = expected.rebuiltPath;
        plan.why = "link_to_nowhere";
        return plan;
    }
    Answer deleteAnswer = setup.firstAnswer;
    if (expected.rebuiltExists) {
        plan.asks = true;
        if (setup.firstAnswer == Answer::No) {
            plan.outcome = Outcome::Declined;
            return plan;
        }
        if (!expected.rebuiltWritable) {
            plan.warningAbout = expected.rebuiltPath;
            plan.why = "output_not_replaceable";
            return plan;
        }
        deleteAnswer = setup.secondAnswer;
    }
    plan.copies = true;
    plan.outcome = Outcome::Completed;
    plan.deletes = setup.deleteChoice && deleteAnswer == Answer::Yes;
    return plan;
}

// The piece the copy is reading, from the last status line ("Lettura del file  N   di ...").
int PieceBeingCopied(const test::ScriptedHost& host) {
    for (auto call = host.Calls().rbegin(); call != host.Calls().rend(); ++call) {
        if (call->kind == test::CallKind::AssembleStatus && !call->text.empty()) {
            return std::stoi(call->text.substr(call->text.find_first_of("0123456789"))) - 1;
        }
    }
    return -1;
}

// While the copy runs: the output path is as it was, and the rebuilt file grows under one
// hidden temporary name beside its target.
void CheckWhileCopying(const CaseSetup& setup, const Expected& expected, const Listing& before) {
    const std::string root = ScratchRoot();
    for (const std::string* path : {&expected.rebuiltPath, &*expected.rebuiltTarget}) {
        const auto was = before.find(path->substr(root.size()));
        const std::optional<Entry> is = EntryAt(*path);
        FUZZ_REQUIRE(
            (was == before.end()) == !is.has_value() && (was == before.end() || was->second == *is),
            "the output path and its link's target untouched while the copy runs");
    }
    const fs::path target(*expected.rebuiltTarget);
    int temporaries = 0;
    for (const auto& item : fs::recursive_directory_iterator(setup.dir)) {
        const std::string name = item.path().filename().string();
        if (name.find(kTemporaryTag) != std::string::npos) {
            ++temporaries;
            const std::string prefix = "." + target.filename().string() + kTemporaryTag;
            FUZZ_REQUIRE(item.path().parent_path() == target.parent_path() &&
                             name.starts_with(prefix) && name.size() == prefix.size() + 8,
                         "the temporary file is hidden, beside its target, named after it");
        }
    }
    FUZZ_REQUIRE(temporaries == 1, "one temporary file while the copy runs");
}

// What a change behind the copy's back did.
struct Tampering {
    bool happened = false;
    int cut = -1;  // the piece cut after the judgement
};

// Changes piece `ahead` places past the one being copied, so that the copy meets it later;
// with ahead 0, cuts the piece the copy is reading, which then either fails or has read its
// old bytes already. The join holds every piece open from its judgement on: a piece removed or
// made a folder is still read whole through its descriptor (and a folder is never deleted),
// while a piece cut is shorter than judged: the join fails there, naming it, unless it had
// read the piece's bytes before the cut.
void ApplyTamper(const CaseSetup& setup, Expected& expected, test::ScriptedHost& host,
                 Tampering& tampering) {
    const int m = PieceBeingCopied(host) + setup.tamper.ahead;
    const bool whileRead = setup.tamper.ahead == 0;
    if (m >= expected.first.count || (whileRead && setup.tamper.kind != Tamper::Kind::Cut)) {
        return;
    }
    const std::string path = expected.stem + Digits(m);
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return;  // the set was judged whole, so piece m is a file or a link to one
    }
    const ModelFile& piece = expected.pieces[static_cast<std::size_t>(m)];
    switch (setup.tamper.kind) {
        case Tamper::Kind::None:
        case Tamper::Kind::End:
            return;
        case Tamper::Kind::Remove:
            FUZZ_REQUIRE(::unlink(path.c_str()) == 0, "piece removed");
            break;
        case Tamper::Kind::Folder:
            FUZZ_REQUIRE(::unlink(path.c_str()) == 0 && ::mkdir(path.c_str(), 0755) == 0,
                         "piece made a folder");
            break;
        case Tamper::Kind::Cut: {
            const std::int64_t lengths[] = {kHeader - 1, kHeader, kHeader + 1,
                                            piece.image.length - 1};
            const std::int64_t length = std::max<std::int64_t>(0, lengths[setup.tamper.cutChoice]);
            if (length >= piece.image.length) {
                return;
            }
            FUZZ_REQUIRE(::truncate(path.c_str(), length) == 0, "piece cut");
            g_images[IdentityKey(status)] = piece.image.Cut(length);
            // What it rebuilds, if anything, is the old piece: the copy may have read it
            // already (a buffer reaches past the piece the status names), or it fails there.
            tampering.cut = m;
            break;
        }
    }
    tampering.happened = true;
}

// Compares the rebuilt file with the pieces' data, chunk by chunk.
void CheckRebuiltBytes(const std::string& path, const std::vector<ModelFile>& pieces) {
    std::int64_t expectedSize = 0;
    for (const auto& piece : pieces) {
        expectedSize += piece.image.length - kHeader;
    }
    std::size_t j = 0;
    std::int64_t pieceStart = 0;  // where piece j's data starts in the rebuilt file
    std::int64_t size = 0;
    const bool read = ReadChunks(path, [&](std::int64_t offset, std::string_view chunk) {
        size = offset + std::ssize(chunk);
        FUZZ_REQUIRE(size <= expectedSize, "rebuilt file no longer than the pieces' data");
        while (!chunk.empty()) {
            const Image& image = pieces[j].image;
            const std::int64_t inPiece = offset - pieceStart;
            const std::int64_t now = std::min(std::ssize(chunk), image.length - kHeader - inPiece);
            if (now <= 0) {
                pieceStart += image.length - kHeader;
                ++j;
                continue;
            }
            FUZZ_REQUIRE(image.Range(kHeader + inPiece, now) == chunk.substr(0, now),
                         "rebuilt file holds the pieces' data, in order");
            chunk.remove_prefix(static_cast<std::size_t>(now));
            offset += now;
        }
    });
    FUZZ_REQUIRE(read && size == expectedSize, "rebuilt file as long as the pieces' data");
}

// The scripted host, and a host that is ending the process from a chosen moment on.
class EndingHost final : public OperationServices {
public:
    explicit EndingHost(test::ScriptedHost& inner) : m_inner(inner) {}
    void RequestEnd() { m_ending = true; }

    Answer ShowMessage(const std::string& text, MessageKind kind) override {
        return m_inner.ShowMessage(text, kind);
    }
    void SetSplitStatus(const std::string& text) override { m_inner.SetSplitStatus(text); }
    void SetAssembleStatus(const std::string& text) override { m_inner.SetAssembleStatus(text); }
    void SetBusy(bool busy) override { m_inner.SetBusy(busy); }
    void EnableAssembleControls(bool enabled) override { m_inner.EnableAssembleControls(enabled); }
    bool DeleteChoice() override { return m_inner.DeleteChoice(); }
    void CreateProgressBar() override { m_inner.CreateProgressBar(); }
    bool ProgressBarCreated() override { return m_inner.ProgressBarCreated(); }
    void SetProgress(std::int16_t value) override { m_inner.SetProgress(value); }
    void RemoveProgressBar() override { m_inner.RemoveProgressBar(); }
    void ProcessPendingEvents() override { m_inner.ProcessPendingEvents(); }
    void ClearStopFlag() override { m_inner.ClearStopFlag(); }
    bool StopRequested() override { return m_inner.StopRequested(); }
    bool EndRequested() override { return m_ending; }

private:
    test::ScriptedHost& m_inner;
    bool m_ending = false;
};

void CheckAssembly(const CaseSetup& setup, Expected& expected, const Listing& before) {
    const Plan plan = PlanAssembly(expected, setup);
    test::ScriptedHost host;
    EndingHost ending(host);
    host.QueueAnswer(setup.firstAnswer);
    host.QueueAnswer(setup.secondAnswer);
    host.SetDeleteChoice(setup.deleteChoice);
    bool copying = false;
    Tampering tampering;
    bool ended = false;
    Listing reference = before;  // what must be unchanged; a tamper changes it
    if (plan.copies) {
        host.AtEventPass(1, [&] {
            copying = true;
            CheckWhileCopying(setup, expected, before);
        });
        if (setup.tamper.kind == Tamper::Kind::End) {
            host.AtEventPass(setup.tamper.pass, [&] {
                ending.RequestEnd();
                ended = true;
            });
        } else if (setup.tamper.kind != Tamper::Kind::None) {
            host.AtEventPass(setup.tamper.pass, [&] {
                ApplyTamper(setup, expected, host, tampering);
                if (tampering.happened) {
                    reference = ListTree(ScratchRoot());
                    std::erase_if(reference, [](const auto& item) {
                        return item.first.find(kTemporaryTag) != std::string::npos;
                    });
                }
            });
        }
    }
    std::vector<std::string> pieceFiles;
    const Outcome outcome = AssembleFile(ending, setup.chosenPath, pieceFiles);
    const Listing after = ListTree(ScratchRoot());

    // An ending host stops the copy at its next block.
    Outcome wanted = plan.outcome;
    bool deletes = plan.deletes;
    std::string warningAbout = plan.warningAbout;
    if (ended) {
        wanted = Outcome::Stopped;
        deletes = false;
    }
    if (tampering.cut >= 0 && outcome == Outcome::Failed) {
        wanted = Outcome::Failed;  // or Completed, with the bytes read before the cut
        deletes = false;
        warningAbout = expected.stem + Digits(tampering.cut);
    }
    static const char* const kNames[] = {"completed", "refused", "declined", "stopped", "failed"};
    const std::string label = std::string(kNames[static_cast<int>(wanted)]) +
                              (plan.why.empty() ? "" : "_" + plan.why) +
                              (setup.deleteChoice ? "_delete_choice" : "") +
                              (tampering.cut >= 0   ? "_cut_after_judgement"
                               : tampering.happened ? "_changed_midway"
                                                    : "") +
                              (ended ? "_ended_midway" : "") + (plan.asks ? "_over_a_file" : "");
    ++g_outcomes[label];
    if (std::getenv("ZIRARED_FUZZ_OUTCOME") != nullptr) {
        std::fprintf(stderr, "outcome %s\n", label.c_str());
        for (const auto& line : host.Outline()) {
            std::fprintf(stderr, "  %s\n", line.c_str());
        }
    }
    if (outcome != wanted) {
        std::fprintf(stderr, "outcome %d, model %d\n", static_cast<int>(outcome),
                     static_cast<int>(wanted));
        for (const auto& line : host.Outline()) {
            std::fprintf(stderr, "  %s\n", line.c_str());
        }
    }
    FUZZ_REQUIRE(outcome == wanted, "the assembly ends as the model says");
    FUZZ_REQUIRE(host.UnexpectedQuestions() == 0, "no question beyond the two possible");
    FUZZ_REQUIRE(copying == plan.copies, "the copy runs only when the set is whole and allowed");
    FUZZ_REQUIRE(!host.ProgressBarCreated(), "the bar is gone at the end");
    FUZZ_REQUIRE(host.CountOf(test::CallKind::CreateBar) == (plan.copies ? 1 : 0),
                 "a bar only for the copy");
    for (auto call = host.Calls().rbegin(); call != host.Calls().rend(); ++call) {
        if (call->kind == test::CallKind::EnableAssemble) {
            FUZZ_REQUIRE(call->value == 1, "the controls are given back");
            break;
        }
    }
    std::map<MessageKind, std::vector<std::string>> messages;
    for (const auto& call : host.Calls()) {
        if (call.kind == test::CallKind::Message) {
            messages[call.messageKind].push_back(call.text);
        }
    }
    const auto& questions = messages[MessageKind::Question];
    const auto& warnings = messages[MessageKind::Warning];
    const bool asksToDelete = outcome == Outcome::Completed && setup.deleteChoice;
    FUZZ_REQUIRE(std::ssize(questions) == (plan.asks ? 1 : 0) + (asksToDelete ? 1 : 0),
                 "the overwrite question only, and the deletion's after a completed join");
    FUZZ_REQUIRE(!plan.asks || questions.front().starts_with("Il file " + expected.rebuiltPath +
                                                             " esiste già!"),
                 "the overwrite question, whatever stands at the output path");
    if (outcome == Outcome::Refused || outcome == Outcome::Failed) {
        FUZZ_REQUIRE(warnings.size() == 1, "one warning says why");
        FUZZ_REQUIRE(
            warningAbout.empty() || warnings.front().find(warningAbout) != std::string::npos,
            "the warning names the file it is about");
    }
    if (outcome == Outcome::Stopped) {
        FUZZ_REQUIRE(warnings.empty() &&
                         messages[MessageKind::Information] ==
                             std::vector<std::string>{"Operazione terminata volontariamente"},
                     "an ended join says so, and nothing else");
    }
    if (outcome == Outcome::Completed) {
        const auto values = host.ProgressValues();
        FUZZ_REQUIRE(!values.empty() && values.back() == 100, "the bar ends full");
        FUZZ_REQUIRE(std::all_of(values.begin(), values.end(),
                                 [](int value) { return value >= 0 && value <= 100; }),
                     "the bar stays within 0 to 100");
    }

    const std::string root = ScratchRoot();
    const bool completed = outcome == Outcome::Completed;
    const std::string replacedKey =
        completed ? expected.rebuiltTarget->substr(root.size()) : std::string();
    std::set<std::string> pieceKeys;
    for (int j = 0; j < expected.first.count; ++j) {
        pieceKeys.insert((expected.stem + Digits(j)).substr(root.size()));
    }
    for (const auto& [key, entry] : reference) {
        const auto now = after.find(key);
        if (now == after.end()) {
            FUZZ_REQUIRE(deletes && pieceKeys.count(key) == 1, "only pieces deleted, on Yes");
            continue;
        }
        if (key == replacedKey) {
            continue;  // replaced on the user's Yes, checked below
        }
        FUZZ_REQUIRE(now->second == entry,
                     "nothing else changes: the output path only when the join completed");
    }
    for (const auto& [key, entry] : after) {
        FUZZ_REQUIRE(key.find(kTemporaryTag) == std::string::npos,
                     "no temporary file survives the run");
        if (reference.count(key) == 0) {
            FUZZ_REQUIRE(key == replacedKey, "the output is the only new file");
        }
    }
    if (deletes) {
        for (const auto& key : pieceKeys) {
            const auto now = after.find(key);
            FUZZ_REQUIRE(now == after.end() || (now->second.type == 'd' && reference.count(key)),
                         "Yes deletes every piece, never a folder put at a piece's name");
        }
    }
    if (completed) {
        const auto output = after.find(replacedKey);
        FUZZ_REQUIRE(output != after.end() && output->second.type == 'f', "output written");
        const auto replaced = before.find(replacedKey);
        FUZZ_REQUIRE(replaced == before.end() ||
                         (replaced->second.mode & 07777) == (output->second.mode & 07777),
                     "a replaced file's permission bits are kept");
        CheckRebuiltBytes(*expected.rebuiltTarget, expected.pieces);
    }
}

// True when path is a file that opens with our magic; a folder or a missing file is not.
bool ChosenHasOurHeader(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    char head[7] = {};
    const bool ours = std::fread(head, 1, sizeof head, file) == sizeof head &&
                      std::string_view(head, sizeof head) == "VAVOVOZ";
    std::fclose(file);
    return ours;
}

}  // namespace
}  // namespace zirared

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zirared;
    FuzzedDataProvider input(data, size);
    const std::string dir = ScratchRoot() + "/case/";
    fs::remove_all(dir);
    fs::create_directory(dir);
    g_images.clear();
    const CaseSetup setup = BuildCase(input, dir);

    // A chosen file without our header that starts a plain numbered set is joined as one;
    // plain sets have suites of their own, this model knows only ours.
    if (FindPlainSet(setup.chosenPath).opening != PlainOpening::NotPlain &&
        !ChosenHasOurHeader(setup.chosenPath)) {
        fs::remove_all(dir);
        return 0;
    }
    const Listing before = ListTree(ScratchRoot());
    Expected expected = Model(setup);
    const SetCheckReport report = CheckPieceSet(setup.chosenPath);
    FUZZ_REQUIRE(ListTree(ScratchRoot()) == before, "the check writes nothing");
    CompareReport(report, expected);
    CheckAssembly(setup, expected, before);

    // Hard links, links and read-only files go with the folder.
    fs::remove_all(dir);
    return 0;
}
