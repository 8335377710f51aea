// The names of the temporary files an OutputFile writes, and the search for those a run
// left behind, the same on every system.
#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "file_layer_system.h"
#include "path_queries.h"
#include "path_separators.h"
#include "utf8.h"

namespace zirared {

namespace {

constexpr std::string_view kTemporaryMark = ".zirared-";
constexpr std::size_t kTagLength = 8;
constexpr std::string_view kTagDigits = "0123456789abcdefghijklmnopqrstuvwxyz";

// The temporary name of target without its random tag.
std::string TemporaryPrefixFor(const std::string& target) {
    // At most 200 bytes of the name (room within the 255 a name may take), not cut inside
    // a UTF-8 sequence.
    const std::size_t nameStart = FileNameOffset(target);
    std::size_t nameEnd = std::min(target.size(), nameStart + 200);
    while (nameEnd > nameStart && nameEnd < target.size() && IsUtf8Continuation(target[nameEnd])) {
        --nameEnd;
    }
    return target.substr(0, nameStart) + "." + target.substr(nameStart, nameEnd - nameStart) +
           std::string(kTemporaryMark);
}

// One pass over the targets' folder: the names made by TemporaryNameFor for any of them.
std::vector<TemporaryFile> ScanTemporaryFiles(const std::vector<std::string>& targets,
                                              bool removeAbandoned) {
    std::vector<TemporaryFile> found;
    if (targets.empty()) {
        return found;
    }
    const std::string folder = targets.front().substr(0, FileNameOffset(targets.front()));
    std::unordered_set<std::string> prefixes;
    for (const std::string& target : targets) {
        prefixes.insert(TemporaryPrefixFor(target).substr(folder.size()));
    }
    for (const std::string& name : NamesInFolder(folder)) {
        if (name.size() <= kTagLength ||
            name.find_first_not_of(kTagDigits, name.size() - kTagLength) != std::string::npos ||
            !prefixes.contains(name.substr(0, name.size() - kTagLength))) {
            continue;
        }
        const std::string path = folder + name;
        const TemporaryState state = ExamineTemporaryFile(path, removeAbandoned);
        if (state == TemporaryState::InUse || state == TemporaryState::Abandoned) {
            found.push_back({path, state == TemporaryState::InUse});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const TemporaryFile& a, const TemporaryFile& b) { return a.path < b.path; });
    return found;
}

}  // namespace

std::string TemporaryNameFor(const std::string& target, std::mt19937_64& random) {
    std::string tag(kTagLength, '0');
    for (char& c : tag) {
        c = kTagDigits[random() % kTagDigits.size()];
    }
    return TemporaryPrefixFor(target) + tag;
}

std::vector<TemporaryFile> TemporaryFilesOf(const std::vector<std::string>& targets) {
    return ScanTemporaryFiles(targets, false);
}

void RemoveAbandonedTemporaryFiles(const std::vector<std::string>& targets) {
    ScanTemporaryFiles(targets, true);
}

}  // namespace zirared
