#include "window_arguments.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <ostream>

#include "display_check.h"
#include "print_row.h"

namespace zirared {
namespace {

using test::PrintTo;

struct ArgumentsCase {
    const char* why;
    QByteArrayList arguments;
    WindowCommand command;
    const char* path;  // for Open
};

class WindowArgumentsParsing : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(WindowArgumentsParsing, GivesTheCommandAndTheFile) {
    const ArgumentsCase& c = GetParam();
    const WindowArguments parsed = ParseWindowArguments(c.arguments);
    EXPECT_EQ(parsed.command, c.command) << parsed.error.toStdString();
    if (c.command == WindowCommand::Open) {
        EXPECT_EQ(parsed.path.toStdString(), c.path);
    }
    EXPECT_EQ(parsed.error.isEmpty(), c.command != WindowCommand::UsageError);
}

using C = WindowCommand;
const QByteArray kQtPlatform = "-platform";
const QByteArray kOffscreen = "offscreen";

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowArgumentsParsing,
    ::testing::Values(
        ArgumentsCase{"NothingStartsTheWindow", {}, C::Start, ""},
        ArgumentsCase{"OneFileIsOpened", {"a b.doc"}, C::Open, "a b.doc"},
        // Before QApplication has taken its own options out, they are still there.
        ArgumentsCase{"HelpNextToAQtOption", {kQtPlatform, kOffscreen, "--help"}, C::Help, ""},
        ArgumentsCase{"ShortHelp", {"-h"}, C::Help, ""},
        ArgumentsCase{"VersionAfterAFile", {"a.doc", "--version"}, C::Version, ""},
        ArgumentsCase{"HelpWinsOverVersion", {"--version", "--help"}, C::Help, ""},
        ArgumentsCase{"AfterDashDashHelpIsAFileName", {"--", "--help"}, C::Open, "--help"},
        ArgumentsCase{"AfterDashDashAnyDashIsAFileName", {"--", "-x"}, C::Open, "-x"},
        ArgumentsCase{"SingleDashIsAFileName", {"-"}, C::Open, "-"},
        ArgumentsCase{"UnknownOption", {"--ignorato"}, C::UsageError, ""},
        ArgumentsCase{"TwoFiles", {"a.doc", "b.doc"}, C::UsageError, ""},
        ArgumentsCase{"TwoFilesAroundDashDash", {"a.doc", "--", "b.doc"}, C::UsageError, ""},
        ArgumentsCase{"EmptyFileName", {""}, C::UsageError, ""}),
    [](const auto& info) { return info.param.why; });

struct DisplayCase {
    const char* why;
    QByteArrayList arguments;
    DisplayEnvironment environment;
    bool missing;
};

class DisplayLookup : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayLookup, IsMissingOnlyWhenNothingNamesOneOrAPlatform) {
    const DisplayCase& c = GetParam();
    EXPECT_EQ(DisplayMissing(c.arguments, c.environment), c.missing);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DisplayLookup,
    ::testing::Values(DisplayCase{"Nothing", {"dati.bin"}, {}, true},
                      DisplayCase{"EmptyVariables", {}, {"", "", ""}, true},
                      DisplayCase{"X11", {}, {":0", "", ""}, false},
                      DisplayCase{"Wayland", {}, {"", "wayland-0", ""}, false},
                      DisplayCase{"PlatformVariable", {}, {"", "", "offscreen"}, false},
                      DisplayCase{"PlatformOption", {kQtPlatform, kOffscreen}, {}, false},
                      DisplayCase{"PlatformOptionTwoDashes", {"--platform", kOffscreen}, {}, false},
                      DisplayCase{"DisplayOption", {"dati.bin", "-display", ":1"}, {}, false},
                      DisplayCase{"PlatformOptionWithoutValue", {kQtPlatform}, {}, true}),
    [](const auto& info) { return info.param.why; });

struct ProgramRun {
    int exitCode = -1;
    QString output;
    QString errors;
};

// The real program, with no display of any kind in reach (or only `display`, where nobody
// answers), and no running copy to hand a file to.
ProgramRun RunWithoutDisplay(const QStringList& arguments, const QString& display = {}) {
    QTemporaryDir runtime;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    if (!display.isEmpty()) {
        environment.insert(QStringLiteral("DISPLAY"), display);
    }
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ZIRARED_WINDOW_PATH), arguments);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        return {};
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

struct NoDisplayCase {
    const char* why;
    QStringList arguments;
    const char* display;
    const char* suggestion;  // the terminal command, as the line ends
};

class NoDisplay : public ::testing::TestWithParam<NoDisplayCase> {};

TEST_P(NoDisplay, SaysInOneItalianLineWhatToUseInsteadAndEndsWithOne) {
    const NoDisplayCase& c = GetParam();
    const ProgramRun run = RunWithoutDisplay(c.arguments, QString::fromUtf8(c.display));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.output.isEmpty());
    EXPECT_EQ(run.errors.count(u'\n'), 1) << run.errors.toStdString();
    EXPECT_TRUE(
        run.errors.startsWith(QStringLiteral("zirared: la finestra richiede una sessione grafica")))
        << run.errors.toStdString();
    EXPECT_TRUE(run.errors.endsWith(QString::fromUtf8(c.suggestion) + u'\n'))
        << run.errors.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoDisplay,
    ::testing::Values(
        NoDisplayCase{"NoFile", {}, "", "zirared-cli --help"},
        NoDisplayCase{"AFile", {QStringLiteral("dati.bin")}, "", "zirared-cli split dati.bin"},
        NoDisplayCase{"AnUnknownOption", {QStringLiteral("--ignorato")}, "", "zirared-cli --help"},
        NoDisplayCase{"ANameTheShellWouldSplit",
                      {QStringLiteral("l'elenco.doc")},
                      "",
                      "zirared-cli split 'l'\\''elenco.doc'"},
        // Qt gives up inside its own start: still one line, never its abort.
        NoDisplayCase{"ADisplayNobodyAnswers", {}, ":4095", "zirared-cli --help"}),
    [](const auto& info) { return info.param.why; });

TEST(NoDisplayText, SuggestsAJoinForAPiece) {
    EXPECT_TRUE(
        NoDisplayText("-a.000", true).endsWith(QStringLiteral(": zirared-cli join ./-a.000\n")));
}

TEST(WithoutDisplay, VersionPrintsNameAndVersionAndEndsWithZero) {
    const ProgramRun run = RunWithoutDisplay({QStringLiteral("--version")});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(run.output.toStdString(), "zirared 2.0.0\n");
}

TEST(WithoutDisplay, HelpShowsTheUsageInItalianAndEndsWithZero) {
    const ProgramRun run = RunWithoutDisplay({QStringLiteral("--help")});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.output.contains(QStringLiteral("Uso:\n  zirared [FILE]\n")))
        << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(QStringLiteral("\"Assembla Files\"")));
}

TEST(WithoutDisplay, AUsageErrorSaysWhyAndEndsWithTwoBeforeAnyWindow) {
    // Qt's offscreen platform stands in: the error must come before any window would.
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ZIRARED_WINDOW_PATH), {QStringLiteral("--ignorato")});
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError())
                    .contains(QStringLiteral("zirared: opzione sconosciuta: --ignorato\n")));
}

}  // namespace
}  // namespace zirared
