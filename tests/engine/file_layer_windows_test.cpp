// The Windows file layer under Wine or Windows: names beyond the ANSI code page, long paths,
// native attributes, identity through hard links, and the Italian sentences of the errors.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "assemble_file.h"
#include "file_error.h"
#include "file_streams.h"
#include "path_queries.h"
#include "test_files.h"
#include "windows_path.h"

namespace zirared {
namespace {

using test::TempDir;

std::wstring Wide(const std::string& utf8) {
    return WideFromUtf8(utf8).value_or(L"");
}

void WriteThroughLayer(const std::string& path, std::string_view bytes) {
    OutputFile out;
    out.CreateFor(path);
    out.Write(bytes);
    out.Commit(false);
}

// "così.età", "perciò" and a name no single ANSI code page holds.
const char* const kNames[] = {"cos\xC3\xAC.et\xC3\xA0", "perci\xC3\xB2",
                              "\xCE\xB1\xCE\xB2\xCE\xB3-\xE6\x97\xA5\xE6\x9C\xAC.bin"};

TEST(WindowsFileLayer, NamesBeyondTheAnsiCodePageAreWrittenReadAndRemovedByTheirOwnName) {
    TempDir dir;
    for (const char* name : kNames) {
        const std::string path = dir / name;
        WriteThroughLayer(path, "contenuto");
        // The name on disk is the UTF-16 form of the UTF-8 name, not a mangled ANSI one.
        EXPECT_NE(GetFileAttributesW(Wide(path).c_str()), INVALID_FILE_ATTRIBUTES) << name;
        InputFile in;
        ASSERT_TRUE(in.OpenIfExists(path)) << name;
        const auto bytes = in.Read(100);
        EXPECT_EQ(std::string(bytes.data(), bytes.size()), "contenuto");
        in.Close();
        EXPECT_FALSE(RemoveFile(path).has_value()) << name;
        EXPECT_FALSE(test::PathExists(path)) << name;
    }
}

TEST(WindowsFileLayer, PathsPastTheClassicLimitWork) {
    TempDir dir;
    // Nested folders made with the wide call and the prefix, past 300 characters in all.
    std::string folder = dir.Path();
    while (folder.size() < 300) {
        folder += "\\cartella-abbastanza-lunga";
        ASSERT_TRUE(CreateDirectoryW(SystemPath(folder)->c_str(), nullptr)) << GetLastError();
    }
    const std::string path = folder + "\\pezzo.000";
    const std::string bytes = test::PatternBytes(50'000);
    WriteThroughLayer(path, bytes);
    InputFile in;
    ASSERT_TRUE(in.OpenIfExists(path));
    EXPECT_EQ(in.Length(), 50'000);
    const auto read = in.Read(50'000);
    EXPECT_EQ(std::string(read.data(), read.size()), bytes);
    in.Close();
    EXPECT_EQ(AttributeValue(path), kAttributeArchive);
    EXPECT_TRUE(IdentityOf(path).has_value());
    EXPECT_EQ(LeadingBytes(path, 4), bytes.substr(0, 4));
    EXPECT_FALSE(RemoveFile(path).has_value());
    EXPECT_FALSE(AttributeValue(path).has_value());
}

struct AttributeRow {
    const char* why;
    DWORD set;  // given with SetFileAttributesW
    int value;
};

class WindowsAttributeTest : public testing::TestWithParam<AttributeRow> {};

// The values are the native ones; 0 or 32 alone means a file that may be replaced.
TEST_P(WindowsAttributeTest, NativeValuesAreUsedAsTheyAre) {
    TempDir dir;
    const std::string path = dir / "a.doc";
    test::WriteFile(path, "x");
    ASSERT_TRUE(SetFileAttributesW(Wide(path).c_str(), GetParam().set));
    EXPECT_EQ(AttributeValue(path), GetParam().value);
    EXPECT_EQ(FileIsWritable(path), GetParam().value == 0 || GetParam().value == 32);
    SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);  // so the folder can go
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WindowsAttributeTest,
    testing::Values(AttributeRow{"archive", FILE_ATTRIBUTE_ARCHIVE, 32},
                    AttributeRow{"read_only", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, 33},
                    AttributeRow{"hidden", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, 34},
                    AttributeRow{"system", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE, 36}),
    [](const auto& info) { return std::string(info.param.why); });

TEST(WindowsFileLayer, FoldersAreNeitherReadNorRemoved) {
    TempDir dir;
    const std::string folder = dir / "sotto";
    ASSERT_TRUE(CreateDirectoryW(Wide(folder).c_str(), nullptr));
    EXPECT_EQ(AttributeValue(folder).value_or(0) & kAttributeDirectory, kAttributeDirectory);
    EXPECT_EQ(KindOfPath(folder), PathKind::Directory);
    InputFile in;
    try {
        in.Open(folder);
        ADD_FAILURE() << "a folder opened as a file";
    } catch (const FileError& error) {
        EXPECT_EQ(error.Cause(), "È una cartella.");
        EXPECT_EQ(error.Path(), folder);
    }
    EXPECT_TRUE(RemoveFile(folder).has_value());
    OutputFile out;
    out.CreateFor(folder);
    out.Write(std::string_view("x"));
    EXPECT_THROW(out.Commit(true), FileError) << "a folder is never replaced";
    EXPECT_EQ(KindOfPath(folder), PathKind::Directory);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"sotto"}) << "no temporary file left";
}

TEST(WindowsFileLayer, DevicesAreNeverOpenedAsFiles) {
    TempDir dir;
    for (const std::string& device :
         {std::string("NUL"), std::string("\\\\.\\NUL"), dir / "COM1", dir / "nul"}) {
        EXPECT_EQ(KindOfPath(device), PathKind::Special) << device;
        EXPECT_FALSE(LeadingBytes(device, 7).has_value()) << device;
        OutputFile out;
        EXPECT_THROW(
            {
                out.CreateFor(device);
                out.Commit(true);
            },
            FileError)
            << device;
        InputFile in;
        try {
            in.Open(device);
            ADD_FAILURE() << device << " opened as a file";
        } catch (const FileError& error) {
            EXPECT_EQ(error.Number(), kNotRegularFileNumber) << device;
            EXPECT_EQ(error.Cause(), "Non è un file ordinario.");
        }
    }
}

TEST(WindowsFileLayer, IdentityFollowsHardLinksAndTellsFilesApart) {
    TempDir dir;
    test::WriteFile(dir / "report.002", "a");
    test::WriteFile(dir / "altro.doc", "a");
    ASSERT_TRUE(CreateHardLinkW(Wide(dir / "report.doc").c_str(), Wide(dir / "report.002").c_str(),
                                nullptr));
    const auto piece = IdentityOf(dir / "report.002");
    ASSERT_TRUE(piece.has_value());
    EXPECT_EQ(IdentityOf(dir / "report.doc"), piece);
    EXPECT_NE(IdentityOf(dir / "altro.doc"), piece);
    EXPECT_FALSE(IdentityOf(dir / "nessuno.doc").has_value());
}

TEST(WindowsFileLayer, FileThatShrinksWhileReadFailsInsteadOfEndingEarly) {
    TempDir dir;
    const std::string path = dir / "a.bin";
    test::WriteFile(path, test::PatternBytes(300'000));
    InputFile in(100'000);
    ASSERT_TRUE(in.OpenIfExists(path));
    in.Read(100'000);
    test::WriteFile(path, "corto");  // others may write while we read, as on POSIX
    EXPECT_THROW(
        {
            while (!in.AtEnd()) {
                in.Read(100'000);
            }
        },
        FileError);
}

TEST(WindowsFileLayer, MissingFilesAreNotErrorsForOpenIfExists) {
    TempDir dir;
    InputFile in;
    EXPECT_FALSE(in.OpenIfExists(dir / "nessuno.000"));
    EXPECT_FALSE(in.OpenIfExists(dir / "nessuna-cartella\\nessuno.000"));
    EXPECT_FALSE(KindOfPath(dir / "nessuno.000").has_value());
    EXPECT_FALSE(AttributeValue(dir / "nessuno.000").has_value());
}

struct ErrorRow {
    const char* why;
    int number;
    const char* sentence;  // the one the POSIX layer gives for a cause they share
};

class WindowsErrorTest : public testing::TestWithParam<ErrorRow> {};

TEST_P(WindowsErrorTest, CausesSharedWithPosixReadTheSame) {
    EXPECT_EQ(DescribeSystemError(GetParam().number), GetParam().sentence);
    const FileError error =
        SystemError(GetParam().number, "C:\\Lavoro\\report.001", FileAction::Write);
    EXPECT_EQ(error.Number(), GetParam().number);
    EXPECT_EQ(error.Description(),
              std::string("Impossibile scrivere il file C:\\Lavoro\\report.001\r\n") +
                  GetParam().sentence);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WindowsErrorTest,
    testing::Values(
        ErrorRow{"disk_full", ERROR_DISK_FULL, "Spazio insufficiente sul disco."},
        ErrorRow{"handle_disk_full", ERROR_HANDLE_DISK_FULL, "Spazio insufficiente sul disco."},
        ErrorRow{"file_too_large", ERROR_FILE_TOO_LARGE, "File troppo grande."},
        ErrorRow{"access_denied", ERROR_ACCESS_DENIED, "Permesso negato."},
        ErrorRow{"file_in_use", ERROR_SHARING_VIOLATION, "Il file è in uso."},
        ErrorRow{"is_a_folder", kIsADirectoryNumber, "È una cartella."},
        ErrorRow{"name_too_long", ERROR_FILENAME_EXCED_RANGE, "Nome del file troppo lungo."},
        ErrorRow{"write_protected", ERROR_WRITE_PROTECT, "Il file system è di sola lettura."},
        ErrorRow{"file_not_found", ERROR_FILE_NOT_FOUND, "File o cartella inesistente."},
        ErrorRow{"path_not_found", ERROR_PATH_NOT_FOUND, "File o cartella inesistente."},
        ErrorRow{"device_fault", ERROR_GEN_FAILURE, "Errore di input/output."},
        ErrorRow{"out_of_memory", ERROR_NOT_ENOUGH_MEMORY, "Memoria insufficiente."},
        ErrorRow{"privilege_not_held", ERROR_PRIVILEGE_NOT_HELD, "Permesso negato."},
        ErrorRow{"invalid_drive", ERROR_INVALID_DRIVE, "File o cartella inesistente."},
        ErrorRow{"bad_netpath", ERROR_BAD_NETPATH, "File o cartella inesistente."},
        ErrorRow{"part_not_a_folder", ERROR_DIRECTORY,
                 "Una parte del percorso non è una cartella."},
        ErrorRow{"read_fault", ERROR_READ_FAULT, "Errore di input/output."},
        ErrorRow{"write_fault", ERROR_WRITE_FAULT, "Errore di input/output."},
        ErrorRow{"crc", ERROR_CRC, "Errore di input/output."},
        ErrorRow{"sector_not_found", ERROR_SECTOR_NOT_FOUND, "Errore di input/output."},
        ErrorRow{"handle_eof", ERROR_HANDLE_EOF, "Errore di input/output."},
        ErrorRow{"io_device", ERROR_IO_DEVICE, "Errore di input/output."},
        ErrorRow{"outofmemory", ERROR_OUTOFMEMORY, "Memoria insufficiente."},
        ErrorRow{"cant_resolve", ERROR_CANT_RESOLVE_FILENAME,
                 "Troppi collegamenti simbolici nel percorso."},
        ErrorRow{"too_many_open", ERROR_TOO_MANY_OPEN_FILES, "Troppi file aperti."},
        ErrorRow{"file_exists", ERROR_FILE_EXISTS, "Il file esiste già."},
        ErrorRow{"already_exists", ERROR_ALREADY_EXISTS, "Il file esiste già."},
        ErrorRow{"lock_violation", ERROR_LOCK_VIOLATION, "Il file è in uso."},
        ErrorRow{"user_mapped", ERROR_USER_MAPPED_FILE, "Il file è in uso."},
        ErrorRow{"not_same_device", ERROR_NOT_SAME_DEVICE,
                 "Il file si trova su un altro file system."},
        ErrorRow{"dev_not_exist", ERROR_DEV_NOT_EXIST, "Dispositivo inesistente."},
        ErrorRow{"not_ready", ERROR_NOT_READY, "Il dispositivo non è pronto."},
        ErrorRow{"invalid_parameter", ERROR_INVALID_PARAMETER, "Argomento non valido."},
        ErrorRow{"invalid_name", ERROR_INVALID_NAME, "Nome di file non valido."},
        ErrorRow{"not_unicode", ERROR_NO_UNICODE_TRANSLATION, "Nome di file non valido."},
        ErrorRow{"netname_deleted", ERROR_NETNAME_DELETED,
                 "Il file non è più disponibile (file system di rete)."},
        ErrorRow{"too_many_links", ERROR_TOO_MANY_LINKS, "Troppi collegamenti al file."},
        ErrorRow{"dir_not_empty", ERROR_DIR_NOT_EMPTY, "La cartella non è vuota."},
        ErrorRow{"overflow", ERROR_ARITHMETIC_OVERFLOW,
                 "Valore troppo grande per il tipo di dati."},
        ErrorRow{"not_supported", ERROR_NOT_SUPPORTED,
                 "Operazione non supportata dal file system."},
        ErrorRow{"invalid_function", ERROR_INVALID_FUNCTION,
                 "Operazione non supportata dal file system."},
        ErrorRow{"invalid_handle", ERROR_INVALID_HANDLE, "Descrittore di file non valido."},
        ErrorRow{"aborted", ERROR_OPERATION_ABORTED, "Operazione interrotta."},
        ErrorRow{"sem_timeout", ERROR_SEM_TIMEOUT, "Tempo scaduto."},
        ErrorRow{"bad_file_type", ERROR_BAD_FILE_TYPE, "Non è un file ordinario."}),
    [](const auto& info) { return std::string(info.param.why); });

TEST(WindowsErrors, OtherCodesAreNamedByNumber) {
    EXPECT_EQ(DescribeSystemError(ERROR_NETWORK_BUSY), "Errore di sistema n° 54.");
}

// The file under its temporary name stays beside the target until Commit; Discard and the
// destructor leave the folder as it was.
TEST(WindowsOutputFile, TargetIsReplacedOnlyByCommit) {
    TempDir dir;
    const std::string target = dir / "cos\xC3\xAC.et\xC3\xA0";
    test::WriteFile(target, "vecchio");
    {
        OutputFile out;
        out.CreateFor(target);
        out.Write(std::string_view("nuovo"));
        EXPECT_EQ(test::ReadFile(target), "vecchio");
        EXPECT_EQ(dir.Names().size(), 2u) << "the temporary file lies beside the target";
    }
    EXPECT_EQ(test::ReadFile(target), "vecchio");
    EXPECT_EQ(dir.Names().size(), 1u) << "the destructor removed the unfinished file";
    OutputFile out;
    out.CreateFor(target);
    out.Write(std::string_view("nuovo"));
    out.Commit(true);
    EXPECT_EQ(test::ReadFile(target), "nuovo");
    EXPECT_EQ(dir.Names().size(), 1u);
    EXPECT_EQ(KindOfPath(target), PathKind::Regular);
    std::string withBackslashes = target;
    std::replace(withBackslashes.begin(), withBackslashes.end(), '/', '\\');
    EXPECT_EQ(ResolvedPath(target), withBackslashes) << "a path without links comes back whole";
}

}  // namespace
}  // namespace zirared
