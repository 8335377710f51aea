#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <utility>

#include "assemble_file.h"
#include "file_error.h"
#include "file_streams.h"
#include "path_queries.h"
#include "small_tmpfs.h"
#include "test_files.h"

namespace zirared {
namespace {

using test::TempDir;

struct AttributeRow {
    const char* why;
    std::function<std::string(const TempDir&)> make;
    std::optional<int> value;
};

class AttributeTest : public testing::TestWithParam<AttributeRow> {};

TEST_P(AttributeTest, MapsPosixOntoTheClassicValues) {
    TempDir dir;
    const std::string path = GetParam().make(dir);
    EXPECT_EQ(AttributeValue(path), GetParam().value);
    EXPECT_EQ(FileIsWritable(path), GetParam().value == 32)
        << "only exactly 0 or 32 may be replaced";
}

std::string Regular(const TempDir& dir, const std::string& name, mode_t mode) {
    test::WriteFile(dir / name, "x");
    ::chmod((dir / name).c_str(), mode);
    return dir / name;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AttributeTest,
    testing::Values(
        AttributeRow{"regular_file_is_archive", [](auto& d) { return Regular(d, "a.doc", 0644); },
                     32},
        AttributeRow{"owner_cannot_write_even_as_root",
                     [](auto& d) { return Regular(d, "a.doc", 0444); }, 33},
        AttributeRow{"dot_name_is_hidden", [](auto& d) { return Regular(d, ".a.doc", 0644); }, 34},
        AttributeRow{"hidden_and_read_only", [](auto& d) { return Regular(d, ".a", 0400); }, 35},
        AttributeRow{"directory_alone",
                     [](auto& d) {
                         std::filesystem::create_directory(d / "sub");
                         return d / "sub";
                     },
                     16},
        AttributeRow{"fifo_is_system",
                     [](auto& d) {
                         ::mkfifo((d / "pipe").c_str(), 0644);
                         return d / "pipe";
                     },
                     4},
        AttributeRow{"missing_path", [](auto& d) { return d / "none"; }, std::nullopt}),
    [](const auto& info) { return std::string(info.param.why); });

TEST(Attributes, ReadOnlyFileSystemCountsAsReadOnly) {
    TempDir dir;
    test::SmallTmpfs fileSystem(dir / "ro", "64k");
    if (!fileSystem.Mounted()) {
        GTEST_SKIP() << "cannot mount here: " << fileSystem.Failure();
    }
    test::WriteFile(dir / "ro/a.doc", "x");
    fileSystem.Remount(MS_RDONLY);
    EXPECT_EQ(AttributeValue(dir / "ro/a.doc"), 33);
}

TEST(FileExistsTest, TrueForAnythingStandingAtThePath) {
    TempDir dir;
    test::WriteFile(dir / "a.doc", "x");
    std::filesystem::create_directory(dir / "sub");
    ::mkfifo((dir / "pipe").c_str(), 0644);
    std::filesystem::create_symlink(dir / "gone", dir / "dangling");
    EXPECT_TRUE(FileExists(dir / "a.doc"));
    EXPECT_FALSE(FileExists(dir / "none"));
    EXPECT_TRUE(FileExists(dir / "sub")) << "a folder stands in the way too";
    EXPECT_FALSE(FileExists(dir / "a.doc/x")) << "under a file";
    EXPECT_TRUE(FileExists(dir / "pipe")) << "never opened, so it cannot block";
    EXPECT_TRUE(FileExists(dir / "dangling")) << "a link that leads nowhere is still there";
}

TEST(InputFileTest, BlocksAcrossChunkBoundariesComeOutWhole) {
    TempDir dir;
    const std::string bytes = test::PatternBytes(1000);
    test::WriteFile(dir / "f", bytes);
    for (const ReadBuffers buffers : {ReadBuffers::One, ReadBuffers::Two}) {
        InputFile input(100, buffers);  // a small chunk, so blocks straddle its end
        input.Open(dir / "f");
        const auto head = input.Read(16);
        std::string joined(head.begin(), head.end());
        while (!input.AtEnd()) {
            const bool refills = input.NextReadRefills(30);
            const auto before = input.Peek(0);
            const auto block = input.Read(30);
            if (!refills) {
                EXPECT_EQ(block.data(), before.data()) << "a view is not moved without a refill";
            }
            joined.append(block.begin(), block.end());
        }
        EXPECT_EQ(joined, bytes);
    }
}

// The views of the chunk before survive a refill: they are what the next refill
// overwrites, and only then.
TEST(InputFileTest, TwoBuffersKeepTheChunkBeforeUntilItIsRefilled) {
    TempDir dir;
    const std::string bytes = test::PatternBytes(1000);
    test::WriteFile(dir / "f", bytes);
    InputFile input(100, ReadBuffers::Two);
    input.Open(dir / "f");
    const auto first = input.Read(100);
    ASSERT_TRUE(input.NextReadRefills(1));
    const auto second = input.Read(100);
    EXPECT_EQ(std::string(first.begin(), first.end()), bytes.substr(0, 100))
        << "the refill went to the other buffer";
    EXPECT_EQ(input.BufferToRefill().data(), first.data()) << "the older buffer goes next";
    input.Read(100);
    EXPECT_EQ(std::string(second.begin(), second.end()), bytes.substr(100, 100));
    EXPECT_EQ(input.BufferToRefill().data(), second.data());
}

TEST(InputFileTest, FileThatShrinksWhileReadFailsInsteadOfEndingEarly) {
    TempDir dir;
    test::WriteFile(dir / "f", test::PatternBytes(5000));
    InputFile input(1000);
    input.Open(dir / "f");
    ASSERT_EQ(::truncate((dir / "f").c_str(), 2500), 0);
    try {
        while (!input.AtEnd()) {
            input.Read(512);
        }
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.Number(), EIO);
    }
}

TEST(RemoveFileTest, RemovesFilesNeverDirectories) {
    TempDir dir;
    test::WriteFile(dir / "a.000", "x");
    std::filesystem::create_directory(dir / "empty.001");
    std::filesystem::create_directory(dir / "full.002");
    test::WriteFile(dir / "full.002/keep", "x");
    EXPECT_FALSE(RemoveFile(dir / "a.000").has_value());
    EXPECT_EQ(RemoveFile(dir / "a.000"), ENOENT);
    EXPECT_TRUE(RemoveFile(dir / "empty.001").has_value());
    EXPECT_TRUE(RemoveFile(dir / "full.002").has_value());
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"empty.001", "full.002"}));
}

// Every code the POSIX layer names, with the sentence a user reads for it.
TEST(PosixErrorTest, EveryNamedCodeReadsAsBefore) {
    const std::pair<int, const char*> rows[] = {
        {ENOSPC, "Spazio insufficiente sul disco."},
        {EDQUOT, "Quota disco superata."},
        {EFBIG, "File troppo grande."},
        {EACCES, "Permesso negato."},
        {EPERM, "Permesso negato."},
        {EROFS, "Il file system è di sola lettura."},
        {ENOENT, "File o cartella inesistente."},
        {EISDIR, "È una cartella."},
        {ENOTDIR, "Una parte del percorso non è una cartella."},
        {EIO, "Errore di input/output."},
        {ENOMEM, "Memoria insufficiente."},
        {ENAMETOOLONG, "Nome del file troppo lungo."},
        {ELOOP, "Troppi collegamenti simbolici nel percorso."},
        {EMFILE, "Troppi file aperti."},
        {ENFILE, "Troppi file aperti."},
        {EEXIST, "Il file esiste già."},
        {EBUSY, "Il file è in uso."},
        {ETXTBSY, "Il file è in uso."},
        {EXDEV, "Il file si trova su un altro file system."},
        {ENXIO, "Dispositivo inesistente."},
        {ENODEV, "Dispositivo inesistente."},
        {EINVAL, "Argomento non valido."},
        {EAGAIN, "Risorsa temporaneamente non disponibile."},
        {ESTALE, "Il file non è più disponibile (file system di rete)."},
        {EMLINK, "Troppi collegamenti al file."},
        {ENOTEMPTY, "La cartella non è vuota."},
        {EOVERFLOW, "Valore troppo grande per il tipo di dati."},
        {ENOTSUP, "Operazione non supportata dal file system."},
        {EBADF, "Descrittore di file non valido."},
        {EINTR, "Operazione interrotta."},
        {ETIMEDOUT, "Tempo scaduto."},
        {ENOLCK, "Nessun lock disponibile."},
        {EPIPE, "Pipe interrotta: il programma che leggeva i dati è terminato."},
        {ENOSYS, "Errore di sistema n° 38."},
        {ECHILD, "Errore di sistema n° 10."},
    };
    for (const auto& [number, sentence] : rows) {
        EXPECT_EQ(DescribeSystemError(number), sentence) << number;
    }
    const FileError notRegular = NotRegularFileError("/p/pipe");
    EXPECT_EQ(notRegular.Number(), EINVAL);
    EXPECT_EQ(notRegular.Description(),
              "Impossibile aprire il file /p/pipe\r\nNon è un file ordinario.");
    EXPECT_EQ(Sha256UnavailableError().Number(), ENOSYS);
    EXPECT_EQ(Sha256UnavailableError().Description(),
              "La libreria di crittografia non calcola lo SHA-256.");
}

// A long name keeps its start in the temporary name, within the 255 bytes a name may take
// and cut between characters, so a file manager never shows it garbled.
TEST(OutputFileTest, TemporaryNameOfALongNameIsCutBetweenCharacters) {
    TempDir dir;
    std::string name = "a";
    for (int k = 0; k < 126; ++k) {
        name += "\xC3\xA8";  // è: 253 bytes in all
    }
    OutputFile out;
    out.CreateFor(dir / name);
    const auto names = dir.Names();
    ASSERT_EQ(names.size(), 1u);
    const std::string& temporary = names[0];
    EXPECT_LE(temporary.size(), 255u);
    const auto tag = temporary.rfind(".zirared-");
    ASSERT_NE(tag, std::string::npos);
    ASSERT_TRUE(temporary.starts_with('.'));
    const std::string kept = temporary.substr(1, tag - 1);
    EXPECT_GE(kept.size(), 150u) << "the name stays recognisable";
    EXPECT_TRUE(name.starts_with(kept));
    EXPECT_NE(static_cast<unsigned char>(name[kept.size()]) & 0xC0, 0x80)
        << "cut inside a character";
    out.Commit(false);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{name}));
}

}  // namespace
}  // namespace zirared
