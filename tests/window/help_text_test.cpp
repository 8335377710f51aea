#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QStringList>
#include <ostream>

#include "help_bas.h"
#include "scripted_dialogs.h"
#include "splitta_file.h"

namespace zirared {
namespace {

QStringList HelpLines() {
    return HelpBas::GetHelpText().split(QStringLiteral("\r\n"));
}

TEST(HelpText, HasFifteenLinesJoinedByCrLfAndNoBreakAfterTheLast) {
    const QString text = HelpBas::GetHelpText();
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 14);
    // A stray CR or LF would show as an extra break or a glyph.
    EXPECT_EQ(text.count(u'\r'), 14);
    EXPECT_EQ(text.count(u'\n'), 14);
    EXPECT_EQ(HelpLines().size(), 15);
    EXPECT_TRUE(text.endsWith(QStringLiteral("del file.")));
}

struct HelpLineCase {
    const char* why;
    int line;  // 1-based
    const char* expectedStart;
    int expectedLength;  // -1: not checked
};

// Test output names the case by why it exists.
void PrintTo(const HelpLineCase& c, std::ostream* os) {
    *os << c.why;
}

class HelpLine : public ::testing::TestWithParam<HelpLineCase> {};

TEST_P(HelpLine, KeepsItsBlanksAndBreaks) {
    const HelpLineCase& c = GetParam();
    const QStringList lines = HelpLines();
    ASSERT_EQ(lines.size(), 15);
    const QString& line = lines[c.line - 1];
    EXPECT_TRUE(line.startsWith(QString::fromUtf8(c.expectedStart))) << line.toStdString();
    if (c.expectedLength >= 0) {
        EXPECT_EQ(line.size(), c.expectedLength) << line.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HelpLine,
    ::testing::Values(
        HelpLineCase{"title keeps its leading blank", 1, " - Zirared", 10},
        HelpLineCase{"blank line after the title", 2, "", 0},
        HelpLineCase{"the three middle pieces join into one line", 3, "Zirared è una", 350},
        HelpLineCase{"blank line before the split section", 4, "", 0},
        HelpLineCase{"split steps keep two leading blanks", 6, "  1) impostare", -1},
        HelpLineCase{"split steps keep two leading blanks", 7, "  2) selezionare", -1},
        HelpLineCase{"the split steps run straight into the long line", 8, "Dopo aver", 572},
        HelpLineCase{"assemble heading is followed by an empty line", 11, "", 0},
        HelpLineCase{"assemble steps keep two leading blanks", 12, "  1) selezionare", -1},
        HelpLineCase{"assemble steps keep two leading blanks", 13, "  2) scegliere", -1},
        HelpLineCase{"blank line before the last sentence", 14, "", 0}),
    [](const auto& info) { return "line" + std::to_string(info.param.line); });

TEST(HelpText, LongLineKeepsBothDoubleBlanksWherePiecesMeet) {
    const QString line8 = HelpLines()[7];
    EXPECT_TRUE(line8.contains(QStringLiteral("il file  utilizzato")));
    EXPECT_TRUE(line8.contains(QStringLiteral("una  copia")));
}

TEST(HelpText, AccentedLettersReachTheTextBoxUnchanged) {
    ScriptedDialogs dialogs;
    SplittaFile window(dialogs);
    const QString shown = window.design().txtHelp->toPlainText();
    EXPECT_EQ(shown, HelpBas::GetHelpText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    for (const char* word : {"può", "sì", "inizierà", "verrà"}) {
        EXPECT_TRUE(shown.contains(QString::fromUtf8(word))) << word;
    }
}

}  // namespace
}  // namespace zirared
