// Builds a small piece set from the input in a fresh folder, then runs the set check and the
// assembly on it and holds both to a model of the reading rules written out here again:
// the check writes nothing and reports what the model finds, the assembly ends as the model
// says, writes nothing but its output beside the pieces, never changes a piece, and a rebuilt
// file holds exactly the pieces' data.

#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "assemble_file.h"
#include "check_piece_set.h"
#include "fuzz_require.h"
#include "scripted_host.h"
#include "windows1252.h"

namespace zirared {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxEntries = 6;
constexpr int kMaxData = 24;  // data bytes of a full piece

// ---- the scratch root: one per process, a fresh "case" folder inside it per input ----

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_REQUIRE(out.good(), "scratch file written");
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string g_root;

// How often each outcome came up: ZIRARED_FUZZ_STATS=1 prints it at exit, to see that the
// inputs reach every ending and not only the early refusals.
std::map<int, long> g_outcomes;

void PrintOutcomes() {
    if (std::getenv("ZIRARED_FUZZ_STATS") != nullptr) {
        for (const auto& [outcome, times] : g_outcomes) {
            std::fprintf(stderr, "outcome %d: %ld\n", outcome, times);
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
        WriteBytes(g_root + "/report.doc", "outside the case folder");
        WriteBytes(g_root + "/000", "outside the case folder");
        std::atexit(RemoveRoot);
        std::atexit(PrintOutcomes);
    }
    return g_root;
}

// What is on disk under a folder: type, identity and bytes of every entry.
struct Entry {
    char type = 'f';  // f file, d directory, o other
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    mode_t mode = 0;
    std::string bytes;
    bool operator==(const Entry&) const = default;
};
using Listing = std::map<std::string, Entry>;

Listing ListTree(const std::string& root) {
    Listing listing;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        const std::string path = item.path().string();
        struct stat status {};
        FUZZ_REQUIRE(::lstat(path.c_str(), &status) == 0, "listed entry exists");
        Entry entry;
        entry.type = S_ISREG(status.st_mode) ? 'f' : S_ISDIR(status.st_mode) ? 'd' : 'o';
        entry.device = status.st_dev;
        entry.inode = status.st_ino;
        entry.mode = status.st_mode;
        if (entry.type == 'f') {
            entry.bytes = ReadBytes(path);
        }
        listing[path.substr(root.size())] = entry;
    }
    return listing;
}

// ---- building the set ----

std::string Digits(int value) {
    return {static_cast<char>('0' + value / 100 % 10), static_cast<char>('0' + value / 10 % 10),
            static_cast<char>('0' + value % 10)};
}

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

struct CaseSetup {
    std::string dir;  // ends with '/'
    std::string chosenPath;
    bool deleteChoice = false;
    Answer firstAnswer = Answer::Yes;
    Answer secondAnswer = Answer::Yes;
};

std::string MakeHeader(FuzzedDataProvider& input, int index, int count, const std::string& suffix) {
    std::string header = "VAVOVOZ" + Digits(index) + Digits(count) + suffix;
    switch (input.ConsumeIntegralInRange(0, 9)) {
        case 0: {  // one byte changed
            const auto at = input.ConsumeIntegralInRange<std::size_t>(0, header.size() - 1);
            header[at] = static_cast<char>(input.ConsumeIntegral<std::uint8_t>());
            break;
        }
        case 1:  // cut short
            header.resize(input.ConsumeIntegralInRange<std::size_t>(0, header.size() - 1));
            break;
        case 2:  // anything at all
            header = input.ConsumeBytesAsString(input.ConsumeIntegralInRange(0, 16));
            break;
        default:
            break;
    }
    return header;
}

CaseSetup BuildCase(FuzzedDataProvider& input, const std::string& dir) {
    static const char* const kStems[] = {"report.", "p", "a.b.", "", "x"};
    const std::string stem = dir + input.PickValueInArray(kStems);
    const int setCount = input.ConsumeIntegralInRange(1, 5);
    std::string suffix;
    if (input.ConsumeIntegralInRange(0, 3) == 0) {
        suffix = input.ConsumeBytesAsString(3);
        suffix.resize(3, ' ');
    } else {
        static const char* const kSuffixes[] = {"doc", "001", "002", "abc", ".zz", "000"};
        suffix = input.PickValueInArray(kSuffixes);
    }
    const std::string outputName = stem + DecodeWindows1252(suffix);
    const auto fullData = input.ConsumeIntegralInRange<std::size_t>(0, kMaxData);

    std::vector<std::string> made;
    const int entries = input.ConsumeIntegralInRange(0, kMaxEntries);
    for (int e = 0; e < entries; ++e) {
        std::string path;
        int k = e;
        switch (input.ConsumeIntegralInRange(0, 8)) {
            case 6:
                k = input.ConsumeIntegralInRange(0, 9);
                path = stem + Digits(k);
                break;
            case 7:
                path = outputName;  // a file already at the rebuilt path
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
        const int kind = input.ConsumeIntegralInRange(0, 11);
        if (kind == 10) {
            fs::create_directory(path);
        } else if (kind == 11 && !made.empty()) {
            fs::create_hard_link(
                made[input.ConsumeIntegralInRange<std::size_t>(0, made.size() - 1)], path);
        } else {
            const bool sameSet = input.ConsumeIntegralInRange(0, 5) != 0;
            const int index = sameSet ? k : input.ConsumeIntegralInRange(0, 999);
            const int count = sameSet ? setCount : input.ConsumeIntegralInRange(0, 7);
            const std::string pieceSuffix =
                input.ConsumeIntegralInRange(0, 7) == 0 ? "dox" : suffix;
            std::size_t data = k < setCount - 1
                                   ? fullData
                                   : input.ConsumeIntegralInRange<std::size_t>(0, fullData);
            if (input.ConsumeIntegralInRange(0, 6) == 0) {
                data = input.ConsumeIntegralInRange<std::size_t>(0, kMaxData + 2);
            }
            WriteBytes(path, MakeHeader(input, index, count, pieceSuffix) + PatternData(data, e));
            if (input.ConsumeIntegralInRange(0, 7) == 0) {
                ::chmod(path.c_str(), 0444);  // read-only: an output there cannot be replaced
            }
            made.push_back(path);
        }
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
    setup.firstAnswer = input.ConsumeBool() ? Answer::Yes : Answer::No;
    setup.secondAnswer = input.ConsumeBool() ? Answer::Yes : Answer::No;
    return setup;
}

// ---- the model: the reading rules written out again ----

struct ModelFile {
    enum class State { Missing, Directory, File } state = State::Missing;
    std::string bytes;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    mode_t mode = 0;
};

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
        return file;
    }
    file.state = ModelFile::State::File;
    file.bytes = ReadBytes(path);
    return file;
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

struct Expected {
    std::vector<std::pair<SetProblemKind, std::string>> problems;
    std::set<std::string> leftovers;
    bool rebuiltNotReplaceable = false;
    bool chosenOpensASet = false;
    bool chosenUnreadable = false;
    int count = 0;
    std::string stem;
    std::string rebuiltPath;
    std::int64_t rebuiltSize = 0;
    bool rebuiltExists = false;
    bool rebuiltWritable = false;
    bool rebuiltIsAPiece = false;
    int firstBadPiece = -1;   // where the assembly stops
    std::string rebuiltData;  // data of the pieces before firstBadPiece, or all of them
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
    const ModelHeader first = ModelParse(chosen.bytes);
    const bool nameLongEnough = chosenPath.size() - setup.dir.size() >= 3;  // ASCII names
    const bool plainSuffix =
        first.suffix.find('/') == std::string::npos && first.suffix.find('\0') == std::string::npos;
    if (!first.magic || !nameLongEnough || !plainSuffix || (first.index == 0 && first.count == 0)) {
        expected.problems.emplace_back(SetProblemKind::NotValid, chosenPath);
        return expected;
    }
    if (first.index != 0) {
        expected.problems.emplace_back(SetProblemKind::NotTheFirst, chosenPath);
        return expected;
    }
    expected.chosenOpensASet = true;
    expected.count = first.count;
    expected.stem = chosenPath.substr(0, chosenPath.size() - 3);
    expected.rebuiltPath = expected.stem + DecodeWindows1252(first.suffix);

    std::int64_t pieceZeroLength = static_cast<std::int64_t>(chosen.bytes.size());
    std::vector<ModelFile> pieces;
    for (int j = 0; j < first.count; ++j) {
        const std::string path = expected.stem + Digits(j);
        const ModelFile piece = Look(path);
        pieces.push_back(piece);
        std::optional<SetProblemKind> problem;
        if (piece.state == ModelFile::State::Missing) {
            problem = SetProblemKind::Missing;
        } else if (piece.state == ModelFile::State::Directory) {
            problem = SetProblemKind::Unreadable;
        } else {
            const auto length = static_cast<std::int64_t>(piece.bytes.size());
            expected.rebuiltSize += std::max<std::int64_t>(0, length - 16);
            const ModelHeader header = ModelParse(piece.bytes);
            const std::int64_t reference = j == 0 ? length : pieceZeroLength;
            const bool last = j == first.count - 1;
            if (!header.magic) {
                problem = SetProblemKind::NotAPiece;
            } else if (header.index != j) {
                problem = SetProblemKind::OutOfSequence;
            } else if (header.count != first.count || header.suffix != first.suffix) {
                problem = SetProblemKind::OtherSet;
            } else if (last ? length > reference : length != reference) {
                problem = SetProblemKind::WrongLength;
            } else if (j == 0) {
                pieceZeroLength = length;
            }
        }
        if (problem) {
            expected.problems.emplace_back(*problem, path);
            if (expected.firstBadPiece < 0) {
                expected.firstBadPiece = j;
            }
        } else if (expected.firstBadPiece < 0) {
            expected.rebuiltData +=
                piece.bytes.substr(std::min<std::size_t>(16, piece.bytes.size()));
        }
    }

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
            sameFile(pieces[static_cast<std::size_t>(j)], expected.stem + Digits(j));
    }
    if (expected.rebuiltIsAPiece) {
        expected.problems.emplace_back(SetProblemKind::RebuiltIsAPiece, expected.rebuiltPath);
    }

    // Files named like pieces beyond the count: only this case's own names can exist.
    for (const auto& item : fs::directory_iterator(setup.dir)) {
        const std::string path = item.path().string();
        const std::string tail = path.substr(std::min(path.size(), expected.stem.size()));
        const bool pieceName =
            path.starts_with(expected.stem) && tail.size() == 3 &&
            std::all_of(tail.begin(), tail.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (pieceName && std::stoi(tail) >= first.count &&
            Look(path).state == ModelFile::State::File) {
            expected.leftovers.insert(path);
        }
    }

    expected.rebuiltExists = rebuilt.state == ModelFile::State::File;
    const bool hidden = expected.rebuiltPath.compare(setup.dir.size(), 1, ".") == 0;
    expected.rebuiltWritable = (rebuilt.mode & S_IWUSR) != 0 && !hidden;
    expected.rebuiltNotReplaceable = (expected.rebuiltExists && !expected.rebuiltWritable) ||
                                     rebuilt.state == ModelFile::State::Directory;
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
    FUZZ_REQUIRE(report.pieceCount == expected.count, "piece count");
    FUZZ_REQUIRE(report.rebuiltPath == expected.rebuiltPath, "rebuilt path");
    FUZZ_REQUIRE(report.rebuiltSize == expected.rebuiltSize, "rebuilt size");
    FUZZ_REQUIRE(report.rebuiltExists == expected.rebuiltExists, "rebuilt file exists");
    std::set<std::string> leftovers;
    bool notReplaceable = false;
    for (const auto& note : report.notes) {
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

struct AssemblyRun {
    Outcome outcome = Outcome::Failed;
    bool deletedOnRequest = false;
    test::ScriptedHost host;
};

Outcome ExpectedOutcome(const Expected& expected, const CaseSetup& setup, bool& copies,
                        bool& deletes) {
    copies = false;
    deletes = false;
    if (!expected.chosenOpensASet) {
        return expected.chosenUnreadable ? Outcome::Failed : Outcome::Refused;
    }
    if (expected.rebuiltIsAPiece) {
        return Outcome::Refused;
    }
    Answer deleteAnswer = setup.firstAnswer;
    if (expected.rebuiltExists) {
        if (setup.firstAnswer == Answer::No) {
            return Outcome::Declined;
        }
        if (!expected.rebuiltWritable) {
            return Outcome::Refused;
        }
        deleteAnswer = setup.secondAnswer;
    }
    if (expected.rebuiltNotReplaceable) {  // a folder in the way: creating the output fails
        return Outcome::Failed;
    }
    copies = true;
    if (expected.firstBadPiece >= 0) {
        return Outcome::Failed;
    }
    deletes = setup.deleteChoice && deleteAnswer == Answer::Yes;
    return Outcome::Completed;
}

void CheckAssembly(const CaseSetup& setup, const Expected& expected, const Listing& before) {
    test::ScriptedHost host;
    host.QueueAnswer(setup.firstAnswer);
    host.QueueAnswer(setup.secondAnswer);
    host.SetDeleteChoice(setup.deleteChoice);
    std::vector<std::string> pieceFiles;
    const Outcome outcome = AssembleFile(host, setup.chosenPath, pieceFiles);
    ++g_outcomes[static_cast<int>(outcome) * 10 + (setup.deleteChoice ? 1 : 0)];
    const Listing after = ListTree(ScratchRoot());

    bool copies = false;
    bool deletes = false;
    const Outcome wanted = ExpectedOutcome(expected, setup, copies, deletes);
    if (outcome != wanted) {
        std::fprintf(stderr, "outcome %d, model %d\n", static_cast<int>(outcome),
                     static_cast<int>(wanted));
        for (const auto& line : host.Outline()) {
            std::fprintf(stderr, "  %s\n", line.c_str());
        }
    }
    FUZZ_REQUIRE(outcome == wanted, "the assembly ends as the model says");
    FUZZ_REQUIRE(host.UnexpectedQuestions() == 0, "no question beyond the two possible");
    FUZZ_REQUIRE(!host.ProgressBarCreated(), "the bar is gone at the end");
    FUZZ_REQUIRE(host.CountOf(test::CallKind::CreateBar) <= 1, "one bar at most");
    for (auto call = host.Calls().rbegin(); call != host.Calls().rend(); ++call) {
        if (call->kind == test::CallKind::EnableAssemble) {
            FUZZ_REQUIRE(call->value == 1, "the controls are given back");
            break;
        }
    }

    const std::string root = ScratchRoot();
    const std::string rebuiltKey =
        expected.rebuiltPath.empty() ? std::string() : expected.rebuiltPath.substr(root.size());
    std::set<std::string> pieceKeys;
    for (int j = 0; j < expected.count; ++j) {
        pieceKeys.insert((expected.stem + Digits(j)).substr(root.size()));
    }
    const auto rebuiltBefore = before.find(rebuiltKey);
    for (const auto& [key, entry] : before) {
        const auto now = after.find(key);
        if (now == after.end()) {
            FUZZ_REQUIRE(deletes && pieceKeys.count(key) == 1, "only pieces deleted, on Yes");
            continue;
        }
        const bool sharesTheOutput =
            key == rebuiltKey ||
            (rebuiltBefore != before.end() && entry.device == rebuiltBefore->second.device &&
             entry.inode == rebuiltBefore->second.inode);
        if (copies && sharesTheOutput) {
            continue;  // replaced on the user's Yes
        }
        FUZZ_REQUIRE(now->second == entry, "nothing else changes");
    }
    for (const auto& [key, entry] : after) {
        if (before.count(key) == 0) {
            FUZZ_REQUIRE(copies && key == rebuiltKey, "the output is the only new file");
        }
    }
    if (deletes) {
        for (const auto& key : pieceKeys) {
            FUZZ_REQUIRE(after.count(key) == 0, "Yes deletes every piece");
        }
    }
    if (copies) {
        const auto output = after.find(rebuiltKey);
        FUZZ_REQUIRE(output != after.end() && output->second.type == 'f', "output written");
        FUZZ_REQUIRE(output->second.bytes == expected.rebuiltData,
                     "output holds the pieces' data, in order, up to the first bad piece");
    }
}

}  // namespace
}  // namespace zirared

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zirared;
    FuzzedDataProvider input(data, size);
    const std::string dir = ScratchRoot() + "/case/";
    fs::remove_all(dir);
    fs::create_directory(dir);
    const CaseSetup setup = BuildCase(input, dir);

    const Listing before = ListTree(ScratchRoot());
    const Expected expected = Model(setup);
    const SetCheckReport report = CheckPieceSet(setup.chosenPath);
    FUZZ_REQUIRE(ListTree(ScratchRoot()) == before, "the check writes nothing");
    CompareReport(report, expected);
    CheckAssembly(setup, expected, before);

    // Hard links and read-only files go with the folder.
    fs::remove_all(dir);
    return 0;
}
