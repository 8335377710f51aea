#include "command_line.h"

#include <optional>
#include <string_view>

namespace zirared {
namespace {

CommandLine UsageError(std::string reason) {
    CommandLine result;
    result.command = CliCommand::UsageError;
    result.error = std::move(reason);
    return result;
}

// The piece size asked by --size, or the usage error that refuses it.
std::optional<std::string> TakeSizeWord(std::string_view word, CommandLine& result) {
    SizeWordReading reading = ReadSizeWord(word);
    if (!reading.size) {
        return "--size: " + reading.problem;
    }
    result.pieceSize = *reading.size;
    result.sizeWord = word;
    return std::nullopt;
}

// The value of option name at arguments[i], as "--name VALUE" or "--name=VALUE": none when
// arguments[i] is not that option (or applies is false); an empty inner optional when the
// value is missing. i moves past a separate value.
std::optional<std::optional<std::string>> OptionValue(std::span<const std::string> arguments,
                                                      std::size_t& i, bool applies,
                                                      std::string_view name) {
    const std::string_view argument = arguments[i];
    if (!applies || !argument.starts_with(name)) {
        return std::nullopt;
    }
    if (argument.size() == name.size()) {
        if (i + 1 >= arguments.size()) {
            return std::optional<std::string>();
        }
        return std::optional<std::string>(arguments[++i]);
    }
    if (argument[name.size()] != '=') {
        return std::nullopt;
    }
    return std::optional<std::string>(std::string(argument.substr(name.size() + 1)));
}

// Standard input is split only under a name, and a name is given only for standard input;
// what goes to a stream is never deleted afterwards, and no digest list or plain set is
// written from it.
CommandLine StreamRulesKept(const CommandLine& command) {
    const bool fromInput = command.command == CliCommand::Split && command.path == kStandardStream;
    if (fromInput && command.name.empty()) {
        return UsageError("per dividere l'ingresso standard (-) serve --name NOME");
    }
    if (!fromInput && !command.name.empty()) {
        return UsageError("--name si usa solo con l'ingresso standard (-) al posto del file");
    }
    if (fromInput && command.writeList) {
        return UsageError("--hash non si usa con l'ingresso standard");
    }
    if (fromInput && command.plain) {
        return UsageError("--plain non si usa con l'ingresso standard");
    }
    if (command.toStandardOutput && command.deletePieces) {
        return UsageError("--delete-pieces non si usa con --output -");
    }
    return command;
}

}  // namespace

std::string SizeRangeText() {
    return "da " + std::to_string(kMinSizeSetting) + " a " + std::to_string(kMaxSizeUnits);
}

CommandLine ParseCommandLine(std::span<const std::string> arguments) {
    if (arguments.empty()) {
        return UsageError("manca il comando (split, join o check)");
    }
    // --help and --version win wherever they stand, as in most tools.
    for (const std::string& argument : arguments) {
        if (argument == "--") {
            break;
        }
        if (argument == "--help" || argument == "-h") {
            CommandLine help;
            help.command = CliCommand::Help;
            return help;
        }
        if (argument == "--version") {
            CommandLine version;
            version.command = CliCommand::Version;
            return version;
        }
    }

    CommandLine result;
    const std::string& commandName = arguments.front();
    if (commandName == "split") {
        result.command = CliCommand::Split;
    } else if (commandName == "join") {
        result.command = CliCommand::Join;
    } else if (commandName == "check") {
        result.command = CliCommand::Check;
    } else if (commandName.starts_with("-")) {
        return UsageError("manca il comando (split, join o check) prima di " + commandName);
    } else {
        return UsageError("comando sconosciuto: " + commandName);
    }
    const bool isSplit = result.command == CliCommand::Split;
    const bool isJoin = result.command == CliCommand::Join;

    bool optionsEnded = false;
    bool havePath = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.starts_with("-") && argument != "-") {
            if (argument == "--yes" && (isSplit || isJoin)) {
                result.assumeYes = true;
            } else if (isJoin && argument == "--delete-pieces") {
                result.deletePieces = true;
            } else if (isJoin && argument == "--no-verify") {
                result.verifyList = false;
            } else if (isSplit && argument == "--hash") {
                result.writeList = true;
            } else if (isSplit && argument == "--plain") {
                result.plain = true;
            } else if (auto value = OptionValue(arguments, i, isSplit, "--name")) {
                if (!*value || (*value)->empty()) {
                    return UsageError(
                        "manca il valore di --name (il file che i pezzi "
                        "ricostruiscono)");
                }
                result.name = **value;
            } else if (auto output = OptionValue(arguments, i, isJoin, "--output")) {
                if (!*output || **output != kStandardStream) {
                    return UsageError("--output accetta solo - (l'uscita standard)");
                }
                result.toStandardOutput = true;
            } else if (auto size = OptionValue(arguments, i, isSplit, "--size")) {
                if (!*size) {
                    return UsageError("manca il valore di --size: " + SizeWordsText());
                }
                if (auto problem = TakeSizeWord(**size, result)) {
                    return UsageError(*problem);
                }
            } else {
                return UsageError("opzione sconosciuta per " + commandName + ": " + argument);
            }
        } else if (!havePath) {
            result.path = argument;
            havePath = true;
        } else {
            return UsageError("troppi argomenti: " + argument);
        }
    }
    if (!havePath) {
        return UsageError(isSplit ? "manca il file da dividere"
                                  : "manca il primo pezzo della sequenza (il file .000)");
    }
    // Pieces with a header hold whole units: a byte size below one unit gives none. Plain
    // pieces take any byte size.
    if (isSplit && !result.plain) {
        result.sizeSetting = UnitsFor(result.pieceSize);
        if (result.sizeSetting == 0) {
            return UsageError("--size: " + NoUnitFitsText(result.sizeWord, result.pieceSize));
        }
    }
    return StreamRulesKept(result);
}

}  // namespace zirared
