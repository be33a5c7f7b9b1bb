// The cases only Windows has: a replacement while another program holds the file
// open, folder names outside the code page, names beyond 260 characters.
#ifdef _WIN32

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/files/folders.h"
#include "core/files/ioerror.h"
#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "test_support.h"

using namespace accise;
using accise::testing::RecordingPrompt;
using accise::testing::TempDir;

namespace {

// A handle as another program opens a file for reading: it lets others read and
// write but not rename or remove the file.
class ForeignReader {
public:
    explicit ForeignReader(const fs::path& file)
        : h_(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~ForeignReader() { close(); }
    bool isOpen() const { return h_ != INVALID_HANDLE_VALUE; }
    void close() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE h_;
};

std::wstring longName(const fs::path& path) { return L"\\\\?\\" + fs::absolute(path).native(); }

// Creates every folder of `path` with the long-name prefix, which the plain calls
// of older Windows refuse beyond 260 characters.
void createLongFolders(const fs::path& base, const std::vector<std::wstring>& parts) {
    fs::path folder = base;
    for (const auto& part : parts) {
        folder /= part;
        ASSERT_TRUE(CreateDirectoryW(longName(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
            << "code " << GetLastError();
    }
}

} // namespace

TEST(WindowsReplace, WaitsForAReaderThatClosesAndGivesUpClearlyOnOneThatDoesNot) {
    TempDir dir;
    const auto file = dir / "2026.RGM";
    writeWholeFile(file, "vecchio");

    {
        ForeignReader reader(file);
        ASSERT_TRUE(reader.isOpen());
        std::thread closer([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            reader.close();
        });
        const auto start = std::chrono::steady_clock::now();
        EXPECT_NO_THROW(replaceFileContent(file, "nuovo"));
        closer.join();
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300)); // it did wait
        EXPECT_EQ(readRecords(file, 1).bytes(), "nuovo");
    }

    ForeignReader stubborn(file);
    ASSERT_TRUE(stubborn.isOpen());
    try {
        replaceFileContent(file, "terzo");
        ADD_FAILURE() << "the replacement went through a file held open";
    } catch (const IoError& e) {
        EXPECT_NE(e.systemMessage().find("in uso da un altro programma o da un'altra postazione"), std::string::npos)
            << e.what();
    }
    stubborn.close();
    EXPECT_EQ(readRecords(file, 1).bytes(), "nuovo");
    EXPECT_FALSE(fileExists(dir / "2026.RGM.~nuovo"));
}

TEST(WindowsReplace, ReadOnlyFileIsRefusedAndLeftAlone) {
    TempDir dir;
    const auto file = dir / "T.TAB";
    writeWholeFile(file, "vecchio");
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    for (const auto& write : std::vector<std::function<void()>>{
             [&] { replaceFileContent(file, "nuovo"); },
             [&] { writeRecordAt(file, 0, "X"); },
             [&] { writeWholeFile(file, "nuovo"); },
         }) {
        try {
            write();
            ADD_FAILURE() << "a read-only file was changed";
        } catch (const IoError& e) {
            EXPECT_NE(e.systemMessage().find("sola lettura"), std::string::npos) << e.what();
        }
    }
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(readRecords(file, 1).bytes(), "vecchio");
    EXPECT_FALSE(fileExists(dir / "T.TAB.~nuovo"));
}

TEST(WindowsReplace, KeepsTheMarksOfTheOriginal) {
    TempDir dir;
    const auto file = dir / "T.TAB";
    writeWholeFile(file, "vecchio");
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    replaceFileContent(file, "nuovo");
    EXPECT_EQ(readRecords(file, 1).bytes(), "nuovo");
    EXPECT_TRUE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

TEST(WindowsReplace, ALinkKeepsPointingAtItsFileWhoseContentIsReplaced) {
    TempDir dir;
    fs::create_directory(dir / "shared");
    const auto real = dir / "shared" / "T.TAB";
    const auto link = dir / "T.TAB";
    writeWholeFile(real, "vecchio");
    if (!CreateSymbolicLinkW(link.c_str(), L"shared\\T.TAB", 0x2 /* unprivileged, in developer mode */))
        GTEST_SKIP() << "this account may not create symbolic links (code " << GetLastError() << ")";
    const DWORD made = GetFileAttributesW(link.c_str());
    if (made == INVALID_FILE_ATTRIBUTES || !(made & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "the system reported a symbolic link but made none (Wine)";
    replaceFileContent(link, "nuovo");
    EXPECT_TRUE(GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT); // still the link
    EXPECT_EQ(readRecords(real, 1).bytes(), "nuovo");
    EXPECT_FALSE(fileExists(dir / "shared" / "T.TAB.~nuovo"));
}

TEST(WindowsNames, AFolderNamedWithAnAccentedLetterHoldsTheFilesUnderThatName) {
    TempDir dir;
    const fs::path working = dir.path() / fs::path(L"contabilit\u00e0 2026");
    const Folders folders = Folders::of(working, dir.path() / "TEMP_BIRRA");
    folders.create();
    RecordingPrompt prompt;
    const auto file = folders.registerFile(2026);
    {
        FileLock lock(file, prompt);
        writeRecordAt(file, 0, "AB");
        writeRecordAt(file, 1, "CD");
        replaceFileContent(file, readRecords(file, 2).bytes() + "EF");
    }
    EXPECT_EQ(readRecords(file, 2).count(), 3u);
    EXPECT_FALSE(fileExists(lockMarkerOf(file)));

    // The name on disk is the accented one, not its bytes read in another code page.
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((dir.path() / L"contabilit*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    EXPECT_EQ(std::wstring(found.cFileName), L"contabilit\u00e0 2026");

    // Messages carry the name in UTF-8, as every text of the program.
    try {
        readRecords(folders.registers, 1);
        ADD_FAILURE() << "a folder read as a file";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("contabilit\xC3\xA0 2026"), std::string::npos) << e.what();
    }
}

TEST(WindowsNames, NamesLongerThan260CharactersWork) {
    TempDir dir;
    const std::vector<std::wstring> parts(5, std::wstring(60, L'c'));
    createLongFolders(dir.path(), parts);
    fs::path folder = dir.path();
    for (const auto& part : parts) folder /= part;
    const fs::path file = folder / "2026.RGM";
    ASSERT_GT(fs::absolute(file).native().size(), 300u);

    RecordingPrompt prompt;
    {
        FileLock lock(file, prompt);
        EXPECT_TRUE(fileExists(lockMarkerOf(file)));
        writeRecordAt(file, 0, "AB");
        writeRecordAt(file, 1, "CD");
        replaceFileContent(file, readRecords(file, 2).bytes() + "EF");
    }
    EXPECT_EQ(readRecords(file, 2).bytes(), "ABCDEF");
    EXPECT_FALSE(fileExists(lockMarkerOf(file)));
    EXPECT_FALSE(fileExists(folder / "2026.RGM.~nuovo"));
    EXPECT_NE(GetFileAttributesW(longName(file).c_str()), INVALID_FILE_ATTRIBUTES);

    std::error_code ec;
    fs::remove_all(fs::path(longName(dir.path() / parts[0])), ec);
}

TEST(WindowsFolders, TheTempFolderIsTheWorkstationsOwn) {
    EXPECT_EQ(defaultTempFolder(), fs::path("C:\\TEMP_BIRRA"));
}

#endif
