#include "piece_probe.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <ostream>

#include "print_row.h"

namespace zirared {
namespace {

using test::PrintTo;

enum class Kind { File, Fifo, Directory, LinkToFile, Missing };

struct ProbeCase {
    const char* why;
    Kind kind;
    QByteArray content;
    bool piece;
};

class PieceProbe : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(PieceProbe, KnowsAPieceByItsFirstSevenBytesAndNeverBlocks) {
    const ProbeCase& c = GetParam();
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("bersaglio"));
    const QString path = dir.filePath(QStringLiteral("dati.000"));
    const QString made = c.kind == Kind::LinkToFile ? target : path;
    switch (c.kind) {
        case Kind::File:
        case Kind::LinkToFile: {
            QFile file(made);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_EQ(file.write(c.content), c.content.size());
            break;
        }
        case Kind::Fifo:
            // Opened for reading in the usual way, it would wait for a writer forever.
            ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            break;
        case Kind::Directory:
            ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("dati.000")));
            break;
        case Kind::Missing:
            break;
    }
    if (c.kind == Kind::LinkToFile) {
        ASSERT_TRUE(QFile::link(target, path));
    }
    EXPECT_EQ(StartsLikeAPiece(QFile::encodeName(path)), c.piece);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PieceProbe,
    ::testing::Values(ProbeCase{"FirstPiece", Kind::File, "VAVOVOZ000003doc", true},
                      ProbeCase{"MagicAlone", Kind::File, "VAVOVOZ", true},
                      ProbeCase{"ShorterThanTheMagic", Kind::File, "VAVOVO", false},
                      ProbeCase{"EmptyFile", Kind::File, "", false},
                      ProbeCase{"LowerCaseMagic", Kind::File, "vavovoz000003doc", false},
                      ProbeCase{"MagicNotAtTheStart", Kind::File, " VAVOVOZ000003doc", false},
                      ProbeCase{"LinkToAPiece", Kind::LinkToFile, "VAVOVOZ000003doc", true},
                      ProbeCase{"Fifo", Kind::Fifo, "", false},
                      ProbeCase{"Directory", Kind::Directory, "", false},
                      ProbeCase{"Missing", Kind::Missing, "", false}),
    [](const auto& info) { return info.param.why; });

}  // namespace
}  // namespace zirared
