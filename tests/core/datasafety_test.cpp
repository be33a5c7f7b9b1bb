// What the record store does when the world is against it: a full disk, shared
// permissions, read-only files, links, exhausted numbers, broken tails, block scans.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/books/movementfile.h"
#include "core/books/packaging.h"
#include "core/files/ioerror.h"
#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/files/recordops.h"
#include "core/files/repair.h"
#include "core/files/text1252.h"
#include "core/records/tablerecord.h"
#include "movement_fixture.h"
#include "small_disk.h"
#include "test_support.h"

using namespace accise;
using accise::testing::RecordingPrompt;
using accise::testing::TempDir;
#ifndef _WIN32
using accise::testing::SmallDisk;
#endif

namespace {

Movement load(double date) {
    Movement m = blankMovement();
    m.DATMOV = date;
    m.TIPREC = "C";
    m.TIPOPE = "I";
    m.TIPMOV = "C";
    m.STATO = " ";
    return m;
}

std::string tableRow(std::int32_t number, const std::string& code) {
    TableRecord t = blankTable();
    t.number = number;
    t.col[0] = code;
    return encodeTable(t);
}

#ifndef _WIN32
struct stat statOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
    return st;
}
#endif

std::string bytesOf(const fs::path& file) { return readRecords(file, 1, IfMissing::Empty).bytes(); }


} // namespace

TEST(FullDisk, AnAppendThatDoesNotFitLeavesTheFileAsItWas) {
#ifdef _WIN32
    GTEST_SKIP() << "needs a small tmpfs mounted by root (Linux)";
#else
    SmallDisk disk;
    if (!disk.unavailable().empty()) GTEST_SKIP() << disk.unavailable();
    RecordingPrompt prompt;
    const fs::path file = disk / "2014.RGM";
    const fs::path table = disk / "TA01.TAB";
    // Some room taken by another file, then the disk filled with whole records until
    // one no longer fits.
    writeWholeFile(disk / "filler", std::string(8192, 'f'));
    std::size_t added = 0;
    try {
        for (; added < 200; ++added) appendMovement(file, load(100), false, prompt);
        FAIL() << "the disk never filled";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("scrittura"), std::string::npos) << e.what();
    }
    EXPECT_EQ(fs::file_size(file), added * kMovementSize); // no partial record
    EXPECT_FALSE(fileExists(lockMarkerOf(file)));
    // A replacement (a delete) needs room for the new copy: refused, the file intact.
    const std::string full = bytesOf(file);
    EXPECT_THROW(deleteMovement(file, 1, prompt), IoError);
    EXPECT_EQ(bytesOf(file), full);
    EXPECT_FALSE(fileExists(disk / "2014.RGM.~nuovo"));
    // A table record (5304 bytes) on the full disk: the same code serves tables.
    EXPECT_THROW(orderedInsert(table, kTableSize, tableRow(0, "A"), textKeyAt(4, 250), prompt), IoError);
    EXPECT_TRUE(!fileExists(table) || fs::file_size(table) % kTableSize == 0);
    // Once there is room again the file takes appends: nothing was left broken.
    fs::remove(disk / "filler");
    EXPECT_NO_THROW(appendMovement(file, load(101), false, prompt));
    EXPECT_EQ(fs::file_size(file), (added + 1) * kMovementSize);
#endif
}

TEST(FullDisk, APackagingThatDoesNotFitWritesNoneOfItsRecords) {
#ifdef _WIN32
    GTEST_SKIP() << "needs a small tmpfs mounted by root (Linux)";
#else
    SmallDisk disk;
    if (!disk.unavailable().empty()) GTEST_SKIP() << disk.unavailable();
    TempDir dir;
    RecordingPrompt prompt;
    const Folders folders = Folders::of(dir.path(), dir / "temp");
    accise::testing::writeBrewery(folders, prompt);
    // The year's register file lives on the small disk, reached through a link.
    const fs::path file = folders.registerFile(2024);
    const fs::path onDisk = disk / "2024.RGM";
    for (int i = 1; i <= 6; ++i)
        appendMovement(onDisk, accise::testing::fixtureUnload(dayNumber(2024, 2, i), 10), false, prompt);
    fs::create_symlink(onDisk, file);
    // The rest of the disk filled: the 4 records (2 368 bytes) start in the last page
    // of the file (3 552 of 4 096 bytes) and run out of room half-way.
    {
        const std::string chunk(512, 'f');
        FILE* filler = std::fopen((disk / "filler").c_str(), "wb");
        ASSERT_NE(filler, nullptr);
        while (std::fwrite(chunk.data(), 1, chunk.size(), filler) == chunk.size() && std::fflush(filler) == 0) {}
        std::fclose(filler);
    }
    const std::string before = bytesOf(file);

    Packaging p;
    p.date = dayNumber(2024, 3, 1);
    p.NUMDOC = "IMB 1";
    p.PRODDO = "B000-22030001-00-0000";
    p.GRAPLA = 12;
    p.NUMCON = 100;
    p.VOLUNI = 0.33;
    p.packaged = {{"N", "2024", "FC1"}, "IT079100"};
    p.inProcess = *inProcessStockOn(folders, p.date);
    p.lossPosition = "003";
    p.directRelease = true;
    p.figures = packagingFigures(p.NUMCON, p.VOLUNI, p.GRAPLA, 1, 2.99);
    EXPECT_THROW(savePackaging(folders, p, prompt), IoError);
    EXPECT_EQ(bytesOf(file), before);
    EXPECT_FALSE(fileExists(lockMarkerOf(file)));

    // With room again the same packaging lands whole.
    fs::remove(disk / "filler");
    EXPECT_EQ(savePackaging(folders, p, prompt).written.size(), 4u);
    EXPECT_EQ(fs::file_size(onDisk), 10 * kMovementSize);
#endif
}

TEST(SafeReplacement, KeepsModeGroupAndOwnerOfTheOriginal) {
#ifdef _WIN32
    GTEST_SKIP() << "POSIX mode, owner and group; Windows keeps the file's own permissions (platform_windows_test)";
#else
    TempDir dir;
    RecordingPrompt prompt;
    const fs::path file = dir / "2014.RGM";
    appendMovement(file, load(100), false, prompt);
    appendMovement(file, load(101), false, prompt);
    ASSERT_EQ(::chmod(file.c_str(), 0660), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(file.c_str(), 4321, 8765), 0);
    }
    ASSERT_EQ(deleteMovement(file, 1, prompt), DeleteOutcome::Deleted); // a replacement
    const struct stat st = statOf(file);
    EXPECT_EQ(st.st_mode & 07777, 0660u);
    if (root) {
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 8765u);
    }
#endif
}

TEST(SafeReplacement, AReadOnlyFileIsRefusedByEveryWriter) {
#ifdef _WIN32
    GTEST_SKIP() << "POSIX modes; the read-only mark of Windows is tested in platform_windows_test";
#else
    TempDir dir;
    RecordingPrompt prompt;
    const fs::path file = dir / "2014.RGM";
    appendMovement(file, load(100), false, prompt);
    appendMovement(file, load(102), false, prompt);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    const std::string before = bytesOf(file);
    for (int writer = 0; writer < 3; ++writer) {
        try {
            if (writer == 0) appendMovement(file, load(103), false, prompt); // at the end
            if (writer == 1) appendMovement(file, load(101), false, prompt); // in the middle
            if (writer == 2) deleteMovement(file, 1, prompt);
            ADD_FAILURE() << "writer " << writer << " changed a read-only file";
        } catch (const IoError& e) {
            EXPECT_NE(std::string(e.what()).find("sola lettura"), std::string::npos) << e.what();
        }
        EXPECT_EQ(bytesOf(file), before);
        EXPECT_EQ(statOf(file).st_mode & 07777, 0444u);
        EXPECT_FALSE(fileExists(lockMarkerOf(file)));
    }
#endif
}

TEST(SafeReplacement, ALinkKeepsPointingAtItsFileWhoseContentIsReplaced) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need a privilege on Windows";
#else
    TempDir dir;
    RecordingPrompt prompt;
    fs::create_directory(dir / "shared");
    const fs::path real = dir / "shared/2014.RGM";
    const fs::path link = dir / "2014.RGM";
    appendMovement(real, load(100), false, prompt);
    appendMovement(real, load(102), false, prompt);
    fs::create_symlink("shared/2014.RGM", link); // a relative link
    appendMovement(link, load(101), false, prompt); // in the middle: a replacement
    EXPECT_TRUE(fs::is_symlink(link));
    ASSERT_EQ(readMovements(real).size(), 3u);
    EXPECT_EQ(readMovements(real)[1].DATMOV, 101);
    EXPECT_FALSE(fileExists(dir / "shared/2014.RGM.~nuovo"));
#endif
}

TEST(RecordNumbers, TablesAndAddressBooksRefuseAnExhaustedNumber) {
    TempDir dir;
    RecordingPrompt prompt;
    const fs::path file = dir / "TA01.TAB";
    orderedInsert(file, kTableSize, tableRow(2147483647, "B"), textKeyAt(4, 250), prompt);
    const std::string before = bytesOf(file);
    EXPECT_THROW(orderedInsert(file, kTableSize, tableRow(0, "A"), textKeyAt(4, 250), prompt), IoError);
    EXPECT_THROW(orderedReplace(file, kTableSize, 5, tableRow(0, "C"), textKeyAt(4, 250), prompt), IoError);
    EXPECT_EQ(bytesOf(file), before);
}

TEST(NonFiniteNumbers, EveryWriterRefusesThem) {
    TempDir dir;
    RecordingPrompt prompt;
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}) {
        Movement m = load(100);
        m.QTAKG = bad;
        EXPECT_THROW(appendMovement(dir / "2014.RGM", m, false, prompt), IoError);
        TableRecord t = decodeTable(tableRow(0, "A"));
        t.nums[4] = bad;
        try {
            orderedInsert(dir / "TA01.TAB", kTableSize, encodeTable(t), textKeyAt(4, 250), prompt);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const IoError& e) {
            EXPECT_NE(std::string(e.what()).find("num4"), std::string::npos) << e.what();
        }
    }
    EXPECT_FALSE(fileExists(dir / "2014.RGM"));
    EXPECT_FALSE(fileExists(dir / "TA01.TAB"));
}

TEST(BlockScan, SeesTheSameRecordsAsAWholeReadWithoutTheTailAndCreatesNothing) {
    TempDir dir;
    // Records across several scan blocks, and a partial tail.
    std::string content;
    for (std::int32_t i = 1; i <= 1500; ++i) {
        Movement m = load(100);
        m.NUMREC = i;
        content += encodeMovement(m);
    }
    for (std::size_t tail : {std::size_t{0}, std::size_t{100}}) {
        writeWholeFile(dir / "F.RGM", content + std::string(tail, 'x'));
        std::int32_t expected = 1;
        std::size_t seen = 0;
        forEachRecord(dir / "F.RGM", kMovementSize, [&](std::string_view r) {
            EXPECT_EQ(r.size(), kMovementSize);
            EXPECT_EQ(decodeMovement(r).NUMREC, expected++);
            ++seen;
        });
        EXPECT_EQ(seen, 1500u) << tail;
    }
    std::size_t none = 0;
    forEachRecord(dir / "MISSING.RGM", kMovementSize, [&](std::string_view) { ++none; });
    EXPECT_EQ(none, 0u);
    EXPECT_FALSE(fileExists(dir / "MISSING.RGM"));
}

TEST(Repair, MovesThePartialTailAsideAndKeepsEveryWholeRecord) {
    TempDir dir;
    RecordingPrompt prompt;
    const fs::path file = dir / "2014.RGM";
    appendMovement(file, load(100), false, prompt);
    appendMovement(file, load(101), false, prompt);
    const std::string whole = bytesOf(file);
    writeWholeFile(file, whole + "partial record");
    EXPECT_THROW(appendMovement(file, load(102), false, prompt), IoError);

    const auto done = repairTail(file, kMovementSize, "20260101-120000", prompt);
    ASSERT_TRUE(done);
    EXPECT_EQ(done->wholeBytes, whole.size());
    EXPECT_EQ(done->tailBytes, 14u);
    EXPECT_EQ(done->sideFile, dir / "2014.RGM.coda-20260101-120000");
    EXPECT_EQ(bytesOf(done->sideFile), "partial record");
    EXPECT_EQ(bytesOf(file), whole);
    EXPECT_FALSE(fileExists(lockMarkerOf(file)));
    EXPECT_NO_THROW(appendMovement(file, load(102), false, prompt));
    // A sound file, and a missing one, are left alone.
    EXPECT_FALSE(repairTail(file, kMovementSize, "20260101-120000", prompt));
    EXPECT_FALSE(repairTail(dir / "2015.RGM", kMovementSize, "20260101-120000", prompt));
    EXPECT_FALSE(fileExists(dir / "2015.RGM"));

    // A second repair with the same stamp does not overwrite the first side file.
    writeWholeFile(file, bytesOf(file) + "again");
    const auto second = repairTail(file, kMovementSize, "20260101-120000", prompt);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->sideFile, dir / "2014.RGM.coda-20260101-120000-2");
    EXPECT_EQ(bytesOf(done->sideFile), "partial record");
}

TEST(Texts, OnlyValidUtf8ThatWindows1252CanHoldFits) {
    const std::pair<const char*, bool> cases[] = {
        {"Birra chiara, 5% vol. ?", true}, {"caffè € “citazione”", true}, {"\xc2\x81", true}, // C1 kept as is
        {"漢字", false}, {"emoji \xf0\x9f\x8d\xba", false}, {"\xff\xfe", false}, {"tronco \xc3", false},
        {"\xef\xbf\xbd", false}, // U+FFFD itself
    };
    for (const auto& [text, fits] : cases) EXPECT_EQ(fitsIn1252(text), fits) << text;
}
