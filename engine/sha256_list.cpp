#include "sha256_list.h"

#include <algorithm>
#include <map>

#include "file_error.h"
#include "file_streams.h"
#include "sha256_hex.h"

namespace zirared {

namespace {

bool NeedsEscape(std::string_view name) {
    return name.find_first_of("\\\n\r") != std::string_view::npos;
}

int HexValue(char character) {
    if (character >= '0' && character <= '9') {
        return character - '0';
    }
    if (character >= 'a' && character <= 'f') {
        return character - 'a' + 10;
    }
    if (character >= 'A' && character <= 'F') {
        return character - 'A' + 10;
    }
    return -1;
}

std::optional<Sha256Digest> DigestFromHex(std::string_view hex, std::size_t bytes) {
    Sha256Digest digest{};
    if (hex.size() != bytes * 2) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < bytes; ++i) {
        const int high = HexValue(hex[2 * i]);
        const int low = HexValue(hex[2 * i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        digest[i] = static_cast<unsigned char>(high * 16 + low);
    }
    return digest;
}

std::optional<std::string> Unescape(std::string_view escaped) {
    std::string name;
    name.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\') {
            name.push_back(escaped[i]);
            continue;
        }
        if (++i == escaped.size()) {
            return std::nullopt;
        }
        switch (escaped[i]) {
            case '\\':
                name.push_back('\\');
                break;
            case 'n':
                name.push_back('\n');
                break;
            case 'r':
                name.push_back('\r');
                break;
            default:
                return std::nullopt;
        }
    }
    return name;
}

// One line without its line break; the reason it is refused, or the entry.
std::optional<std::string> ParseLine(std::string_view line, DigestKind kind, ListLine& entry) {
    const std::size_t hexDigits = DigestBytes(kind) * 2;
    if (line.empty()) {
        return "la riga è vuota.";
    }
    const bool escaped = line.front() == '\\';
    if (escaped) {
        line.remove_prefix(1);
    }
    const std::optional<Sha256Digest> digest =
        DigestFromHex(line.substr(0, hexDigits), DigestBytes(kind));
    if (!digest || (line.size() > hexDigits && HexValue(line[hexDigits]) >= 0)) {
        return std::string("non comincia con un'impronta ") +
               (kind == DigestKind::Md5 ? "MD5" : "SHA-256") + " di " + std::to_string(hexDigits) +
               " cifre esadecimali.";
    }
    line.remove_prefix(hexDigits);
    if (line.size() < 2 || line[0] != ' ' || (line[1] != ' ' && line[1] != '*')) {
        return "dopo l'impronta mancano i due spazi che la separano dal nome.";
    }
    line.remove_prefix(2);
    if (line.empty()) {
        return "manca il nome del file.";
    }
    if (line.find('\0') != std::string_view::npos) {
        return "il nome contiene un carattere nullo.";
    }
    if (escaped) {
        std::optional<std::string> name = Unescape(line);
        if (!name) {
            return "il nome contiene una sequenza con la barra rovesciata non valida.";
        }
        entry.name = std::move(*name);
    } else {
        entry.name.assign(line);
    }
    entry.digest = *digest;
    return std::nullopt;
}

ParsedList Refused(int lineNumber, std::string reason) {
    ParsedList parsed;
    parsed.error = ListError{lineNumber, std::move(reason)};
    return parsed;
}

}  // namespace

std::string FormatListLine(std::string_view name, const Sha256Digest& digest) {
    std::string line;
    const bool escape = NeedsEscape(name);
    if (escape) {
        line.push_back('\\');
    }
    line += HexOf(digest);
    line += "  ";
    for (const char character : name) {
        if (!escape) {
            line.push_back(character);
            continue;
        }
        switch (character) {
            case '\\':
                line += "\\\\";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            default:
                line.push_back(character);
                break;
        }
    }
    line.push_back('\n');
    return line;
}

std::string ListError::Description() const {
    if (lineNumber == 0) {
        return reason;
    }
    return "Riga " + std::to_string(lineNumber) + ": " + reason;
}

ParsedList ParseList(std::string_view text, DigestKind kind) {
    if (text.size() > kMaxListBytes) {
        return Refused(0, "L'elenco supera " + std::to_string(kMaxListBytes) + " byte.");
    }
    ParsedList parsed;
    std::map<std::string_view, int> lineOfName;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        if (static_cast<std::size_t>(lineNumber) > kMaxListLines) {
            return Refused(0, "L'elenco ha più di " + std::to_string(kMaxListLines) + " righe.");
        }
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        // sha256sum ignores the CR of a CR LF line end; a CR in a name is always escaped.
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        ListLine entry;
        entry.lineNumber = lineNumber;
        if (std::optional<std::string> reason = ParseLine(line, kind, entry)) {
            return Refused(lineNumber, std::move(*reason));
        }
        parsed.lines.push_back(std::move(entry));
    }
    if (parsed.lines.empty()) {
        return Refused(0, "L'elenco è vuoto.");
    }
    for (const ListLine& line : parsed.lines) {
        const auto [earlier, added] = lineOfName.emplace(line.name, line.lineNumber);
        if (!added) {
            return Refused(line.lineNumber, "il file è già nominato alla riga " +
                                                std::to_string(earlier->second) + ".");
        }
    }
    return parsed;
}

ParsedList ReadListFile(const std::string& path, DigestKind kind) {
    std::string text;
    try {
        InputFile file(kMaxListBytes + 1);
        file.Open(path);
        if (file.Length() > static_cast<std::int64_t>(kMaxListBytes)) {
            return Refused(0, "L'elenco supera " + std::to_string(kMaxListBytes) + " byte.");
        }
        while (!file.AtEnd()) {
            const std::span<const char> bytes = file.Read(kMaxListBytes);
            text.append(bytes.data(), bytes.size());
        }
    } catch (const FileError& error) {
        return Refused(0, error.Cause());
    }
    return ParseList(text, kind);
}

ListMatch MatchList(std::span<const ListLine> lines, std::span<const std::string> ownNames) {
    ListMatch match;
    match.digests.resize(ownNames.size());
    for (const ListLine& line : lines) {
        const auto own = std::find(ownNames.begin(), ownNames.end(), line.name);
        if (own == ownNames.end()) {
            match.foreignNames.push_back(line.name);
        } else {
            match.digests[static_cast<std::size_t>(own - ownNames.begin())] = line.digest;
        }
    }
    return match;
}

}  // namespace zirared
