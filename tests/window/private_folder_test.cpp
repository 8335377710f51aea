#include "private_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <ostream>

#include "print_row.h"

namespace zirared {
namespace {

using test::PrintTo;

// What stands where the program looks for its folder.
enum class Place { Missing, Private, Open0755, OwnedByAnother, LinkToPrivate, AFile };
enum class Chosen { Runtime, Temporary, Cache, None };

struct FolderCase {
    const char* why;
    Place runtime;    // $XDG_RUNTIME_DIR; Missing: unset
    Place temporary;  // $TMPDIR/zirared-UID
    Place cache;      // $XDG_CACHE_HOME/zirared
    Chosen chosen;
};

// Puts `place` at `path`; false when only root could (giving a folder away).
bool Make(Place place, const QByteArray& path) {
    const char* name = path.constData();
    switch (place) {
        case Place::Missing:
            return true;
        case Place::Private:
            return mkdir(name, 0700) == 0;
        case Place::Open0755:
            return mkdir(name, 0700) == 0 && chmod(name, 0755) == 0;
        case Place::OwnedByAnother:
            return mkdir(name, 0700) == 0 && chown(name, geteuid() + 1, getegid()) == 0;
        case Place::LinkToPrivate: {
            const QByteArray target = path + ".target";
            return mkdir(target.constData(), 0700) == 0 && symlink(target.constData(), name) == 0;
        }
        case Place::AFile: {
            QFile file(QFile::decodeName(path));
            return file.open(QIODevice::WriteOnly);
        }
    }
    return false;
}

// The variables the folder is chosen by, put back as they were after each case.
class PrivateFolder : public ::testing::TestWithParam<FolderCase> {
protected:
    void TearDown() override {
        for (std::size_t i = 0; i < kVariables.size(); ++i) {
            m_saved[i].isNull() ? qunsetenv(kVariables[i]) : qputenv(kVariables[i], m_saved[i]);
        }
    }

    static constexpr std::array<const char*, 3> kVariables{"XDG_RUNTIME_DIR", "TMPDIR",
                                                           "XDG_CACHE_HOME"};
    std::array<QByteArray, 3> m_saved{qgetenv(kVariables[0]), qgetenv(kVariables[1]),
                                      qgetenv(kVariables[2])};
};

TEST_P(PrivateFolder, IsTheFirstPlaceOnlyTheUserCanEnterNeverASharedOne) {
    const FolderCase& c = GetParam();
    QTemporaryDir dir;
    const QByteArray base = QFile::encodeName(dir.path());
    const QByteArray runtime = base + "/run";
    const QByteArray temporary =
        base + "/zirared-" + QByteArray::number(static_cast<qulonglong>(geteuid()));
    const QByteArray cache = base + "/cache/zirared";
    ASSERT_EQ(mkdir(QByteArray(base + "/cache").constData(), 0755), 0);
    if (!Make(c.runtime, runtime) || !Make(c.temporary, temporary) || !Make(c.cache, cache)) {
        GTEST_SKIP() << "only root can give a folder away";
    }
    if (c.runtime == Place::Missing) {
        qunsetenv("XDG_RUNTIME_DIR");
    } else {
        qputenv("XDG_RUNTIME_DIR", runtime);
    }
    qputenv("TMPDIR", base);
    qputenv("XDG_CACHE_HOME", base + "/cache");

    const QByteArray folder = QFile::encodeName(UserPrivateFolder());

    const std::array<QByteArray, 4> expected{runtime, temporary, cache, QByteArray()};
    EXPECT_EQ(folder.toStdString(), expected[static_cast<std::size_t>(c.chosen)].toStdString());
    if (!folder.isEmpty()) {
        struct stat status {};
        ASSERT_EQ(lstat(folder.constData(), &status), 0);
        EXPECT_TRUE(S_ISDIR(status.st_mode));
        EXPECT_EQ(status.st_uid, geteuid());
        EXPECT_EQ(status.st_mode & 07777, 0700U);
    }
}

using P = Place;
using F = FolderCase;
INSTANTIATE_TEST_SUITE_P(
    Situations, PrivateFolder,
    ::testing::Values(
        F{"RuntimeFolderPrivate", P::Private, P::Missing, P::Missing, Chosen::Runtime},
        F{"RuntimeUnsetMakesOneInTmp", P::Missing, P::Missing, P::Missing, Chosen::Temporary},
        F{"Runtime0755", P::Open0755, P::Missing, P::Missing, Chosen::Temporary},
        F{"RuntimeOfAnotherUser", P::OwnedByAnother, P::Missing, P::Missing, Chosen::Temporary},
        F{"RuntimeALink", P::LinkToPrivate, P::Missing, P::Missing, Chosen::Temporary},
        F{"RuntimeAFile", P::AFile, P::Missing, P::Missing, Chosen::Temporary},
        F{"TmpFolderOursFromBefore", P::Missing, P::Private, P::Missing, Chosen::Temporary},
        // Another user made our name in /tmp first: the home folder's cache instead.
        F{"TmpNameTakenByAnother", P::Missing, P::OwnedByAnother, P::Missing, Chosen::Cache},
        F{"TmpName0755", P::Open0755, P::Open0755, P::Missing, Chosen::Cache},
        F{"TmpNameALink", P::Missing, P::LinkToPrivate, P::Missing, Chosen::Cache},
        F{"NothingQualifies", P::Open0755, P::OwnedByAnother, P::AFile, Chosen::None}),
    [](const auto& info) { return info.param.why; });

}  // namespace
}  // namespace zirared
