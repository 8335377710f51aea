#include "window_arguments.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <ostream>

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

struct ProgramRun {
    int exitCode = -1;
    QString output;
    QString errors;
};

// The real program, with no display of any kind in reach.
ProgramRun RunWithoutDisplay(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ZIRARED_WINDOW_PATH), arguments);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        return {};
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
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
