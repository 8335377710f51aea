#include "run_cli.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "assemble_file.h"
#include "check_piece_set.h"
#include "command_line.h"
#include "file_error.h"
#include "piece_set.h"
#include "piece_size.h"
#include "set_check_output.h"
#include "shown_name.h"
#include "split_file.h"
#include "standard_streams.h"
#include "stop_signal.h"
#include "stream_split.h"
#include "terminal_host.h"
#include "usage_text.h"

namespace zirared {
namespace {

int ExitStatusFor(Outcome outcome) {
    return outcome == Outcome::Completed ? kExitCompleted : kExitNotCompleted;
}

// The engine's messages name the directory the pieces go to, as the window's file dialog
// gives full paths; "report.doc" alone would show an empty directory.
std::string FullPath(const std::string& path) {
    if (path.empty()) {
        return path;
    }
    // Paths are UTF-8 on every system; a plain std::string would be read in the ANSI code
    // page on Windows.
    const std::u8string utf8(path.begin(), path.end());
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(utf8, error);
    if (error) {
        return path;
    }
    const std::u8string fullUtf8 = full.u8string();
    return {fullUtf8.begin(), fullUtf8.end()};
}

Outcome RunOperation(const CommandLine& command, TerminalHost& host,
                     StandardOutput& standardOutput) {
    const std::int32_t pieceSizeKB = command.sizeSetting * kSizeUnitKB;
    if (command.command == CliCommand::Split && command.path == kStandardStream) {
        StandardInput standardInput;
        return SplitStream(host, standardInput, FullPath(command.name), pieceSizeKB);
    }
    const std::string path = FullPath(command.path);
    if (command.command == CliCommand::Split && command.plain) {
        return SplitFilePlain(host, path, PlainPieceBytes(command.pieceSize), command.writeList);
    }
    if (command.command == CliCommand::Split) {
        return SplitFile(host, path, pieceSizeKB, command.writeList);
    }
    std::vector<std::string> pieceFiles;  // the host keeps the last assembly's pieces
    // No question here about an unusable list: --no-verify is the user's answer to it.
    // Naming a file on the command line is the answer to the window's plain-set question.
    return AssembleFile(host, path, pieceFiles,
                        command.verifyList ? ListUse::Required : ListUse::Ignored,
                        PlainSetUse::Join, command.toStandardOutput ? &standardOutput : nullptr);
}

// A terminal is no place for the bytes of a file, nor where they come from: what is typed
// there answers questions.
std::optional<std::string> TerminalRefusal(const CommandLine& command,
                                           const TerminalFacts& terminal) {
    if (command.toStandardOutput && terminal.outputIsTerminal) {
        return "l'uscita standard è un terminale: reindirizzarla su un file o una pipe";
    }
    if (command.command == CliCommand::Split && command.path == kStandardStream &&
        terminal.inputIsTerminal) {
        return "l'ingresso standard è un terminale: passare i dati con una pipe o un file";
    }
    return std::nullopt;
}

void ReportLostOutput(int cause, std::ostream& error) {
    error << "zirared-cli: errore di scrittura sull'uscita standard"
          << (cause != 0 ? ": " + DescribeSystemError(cause) : std::string(".")) << "\n";
}

// Output that did not reach standard output or error fails the run, whatever the command
// did, so that a script never takes lost output for success.
int WithLostOutputReported(int status, std::ostream& output, std::ostream& error) {
    output.flush();
    const bool outputLost = !output;
    if (outputLost) {
        // Nothing calls the system after the write to output that failed, so errno is still
        // its reason.
        int cause = errno;
#ifdef _WIN32
        cause = 0;  // a C library code, not one of the system's that the sentences cover
#endif
        ReportLostOutput(cause, error);
    }
    error.flush();
    if ((outputLost || !error) && status == kExitCompleted) {
        return kExitNotCompleted;
    }
    return status;
}

int RunCommand(std::span<const std::string> arguments, const TerminalFacts& terminal,
               std::istream& input, std::ostream& output, std::ostream& error) {
    const CommandLine command = ParseCommandLine(arguments);
    switch (command.command) {
        case CliCommand::Help:
            output << HelpText() << std::flush;
            return kExitCompleted;
        case CliCommand::Version:
            output << VersionText() << std::flush;
            return kExitCompleted;
        case CliCommand::UsageError:
            error << "zirared-cli: " << ShownName(command.error) << "\n"
                  << UsageHint() << std::flush;
            return kExitUsageError;
        case CliCommand::Check: {
            const SetCheckReport report = CheckPieceSet(FullPath(command.path));
            PrintSetCheckReport(report, output);
            output << std::flush;
            return report.IsConsistent() ? kExitCompleted : kExitNotCompleted;
        }
        case CliCommand::Split:
        case CliCommand::Join:
            break;
    }
    if (const std::optional<std::string> refusal = TerminalRefusal(command, terminal)) {
        error << "zirared-cli: " << *refusal << "\n" << std::flush;
        return kExitNotCompleted;
    }

    TerminalSettings settings;
    settings.assumeYes = command.assumeYes;
    settings.deletePieces = command.deletePieces;
    // Standard input split is data, never answers.
    const bool answersOnInput =
        terminal.inputIsTerminal &&
        !(command.command == CliCommand::Split && command.path == kStandardStream);
    settings.inputIsTerminal = answersOnInput;
    settings.discardTypeAhead = answersOnInput ? DiscardTerminalInput : nullptr;
    settings.outputIsTerminal = terminal.errorIsTerminal;
    settings.columns = terminal.columns;
    ArmStopSignal();
    int status = kExitNotCompleted;
    StandardOutput standardOutput;
    {
        TerminalHost host(settings, input, error);
        status = ExitStatusFor(RunOperation(command, host, standardOutput));
    }
    if (const std::optional<int> lost = standardOutput.Lost()) {
        ReportLostOutput(*lost, error);
    }
    FinishEndingSignal(status == kExitCompleted);
    return status;
}

}  // namespace

int RunCli(std::span<const std::string> arguments, const TerminalFacts& terminal,
           std::istream& input, std::ostream& output, std::ostream& error) {
    return WithLostOutputReported(RunCommand(arguments, terminal, input, output, error), output,
                                  error);
}

}  // namespace zirared
