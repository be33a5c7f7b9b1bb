// A brew's computations and its save: the split of the litres brewed, hectolitre-degrees
// and excise, the records landing as one-by-one appends would place them, all or none
// on a full disk, and the raw-material stock read again under the lock.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/statvfs.h>
#endif

#include <string>
#include <vector>

#include "core/books/brew.h"
#include "core/books/movementfile.h"
#include "core/files/ioerror.h"
#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/dates.h"
#include "small_disk.h"
#include "test_support.h"

using namespace accise;
using accise::testing::RecordingPrompt;
using accise::testing::TempDir;

namespace {

const double kBrewDay = dayNumber(2024, 3, 5);

Movement registerEntry(const char* type, const char* protocol, const std::string& product, double kg, double litres) {
    Movement m = blankMovement();
    m.TIPREG = type;
    m.ANNPRO = "2024";
    m.NUMPRO = protocol;
    m.PRODDO = product;
    m.QTAKG = kg;
    m.QTALIT = litres;
    m.ETTOGR = kg + litres;
    m.ANNOTA = "Materia " + product.substr(0, 4);
    padMovement(m);
    return m;
}

Movement active(const char* type, const char* protocol, const char* tipmov, double date) {
    Movement m = blankMovement();
    m.TIPREC = "C";
    m.TIPOPE = "I";
    m.TIPMOV = tipmov;
    m.TIPREG = type;
    m.ANNPRO = "2024";
    m.NUMPRO = protocol;
    m.DATMOV = date;
    return m;
}

// Raw-material register MP1 with a sent initial stock of 5 000 kg at the end of 2023,
// in-process register LAV1 with a sent one of 0.
void writeInitialStock(const Folders& folders, Prompt& prompt) {
    Movement stock = active("M", "MP1", "G", dayNumber(2023, 12, 31));
    stock.QTAKG = 5000;
    stock.NUMFLU = 1;
    stock.DATFLU = dayNumber(2024, 1, 10);
    appendMovement(folders.initialStocks(), stock, false, prompt);
    // The in-process register LAV1 the brew loads into: empty at the end of 2023.
    Movement inProcess = active("L", "LAV1", "G", dayNumber(2023, 12, 31));
    inProcess.NUMFLU = 1;
    inProcess.DATFLU = dayNumber(2024, 1, 10);
    appendMovement(folders.initialStocks(), inProcess, false, prompt);
}

std::string product(int n) { return "M000-1107109" + std::to_string(n) + "-00-0000"; }

// A brew of 1 000 litres at 12 degrees from `materials` raw materials of MP1 (100 kg
// each), loaded into LAV1, with `split` litres sent to packaging.
Brew sampleBrew(int materials, double split = 0) {
    Brew b;
    b.date = kBrewDay;
    b.NUMDOC = "VIA 7";
    for (int i = 0; i < materials; ++i) b.rawMaterials.push_back({registerEntry("M", "MP1", product(i), 5000, 0), 100});
    b.inProcess = registerEntry("L", "LAV1", "B000-22030000-00-0000", 0, 0);
    b.litres = 1000;
    b.plato = 12;
    b.figures = brewFigures(1000, 12, 2.99);
    b.CONTIN = 1;
    b.CONTFI = 1001;
    if (split > 0) b.toPackage = BrewSplitPart{split, brewFigures(split, 12, 2.99), "001"};
    return b;
}

std::string bytesOf(const fs::path& file) { return readRecords(file, 1, IfMissing::Empty).bytes(); }

} // namespace

TEST(BrewSplit, LossesAreWhatPackagingLeavesOfTheLitresBrewed) {
    struct Case {
        double litres, typedToPackage, shownLosses;
        double toPackage, losses;
    };
    const Case cases[] = {
        {1000, 990, 0, 990, 10},       // 10 litres lost
        {1000, 1200, 0, 1000, 0},      // packaging cut to the litres brewed
        {1000, 0, 0, 1000, 0},         // both empty: everything to packaging
        {1000, 0, 10, 0, 1000},        // packaging emptied after a split: everything lost
        {1000, 990, 25, 990, 10},      // the losses shown before are computed again
        {1000.4, 1000, 0, 1000, 0.4},  // no binary noise in the losses
        {1000, -5, 0, 1000, 0},        // a negative quantity counts as none
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.litres) + " / " + std::to_string(c.typedToPackage));
        const BrewSplit s = splitBrew(c.litres, c.typedToPackage, c.shownLosses);
        EXPECT_DOUBLE_EQ(s.toPackage, c.toPackage);
        EXPECT_DOUBLE_EQ(s.losses, c.losses);
    }
}

TEST(BrewFigures, HectolitreDegreesToFiveDecimalsExciseToTwoAndNoneWithoutRate) {
    EXPECT_DOUBLE_EQ(brewFigures(1000, 12, 2.99).ETTOGR, 120);
    EXPECT_DOUBLE_EQ(brewFigures(1000, 12, 2.99).ACCISA, 358.8);
    EXPECT_DOUBLE_EQ(brewFigures(333.333, 11.5, 2.99).ETTOGR, 38.3333); // 38,3332950
    EXPECT_DOUBLE_EQ(brewFigures(333.333, 11.5, 2.99).ACCISA, 114.62);  // 114,6166 on 38,3333
    EXPECT_DOUBLE_EQ(brewFigures(10, 12, 2.99).ACCISA, 3.59);            // 3,588
    EXPECT_DOUBLE_EQ(brewFigures(1000, 12, std::nullopt).ACCISA, 0);
}

TEST(BrewSave, LandsAsOneByOneAppendsWouldInNumberingAndRegisterOrder) {
    // A register file with a movement before the brew and one after it: the brew goes
    // between them in one case and after both in the other.
    struct Case {
        const char* what;
        double brewDay;
    };
    for (const Case c : {Case{"between earlier and later movements", kBrewDay},
                         Case{"after every movement", dayNumber(2024, 4, 1)}}) {
        SCOPED_TRACE(c.what);
        TempDir batchDir, singleDir;
        RecordingPrompt prompt;
        const Folders batch = Folders::of(batchDir.path()), single = Folders::of(singleDir.path());
        for (const Folders& f : {batch, single}) {
            f.create();
            writeInitialStock(f, prompt);
            Movement before = active("M", "MP1", "C", dayNumber(2024, 3, 1));
            before.PRODDO = product(0);
            before.QTAKG = 50;
            Movement after = active("F", "FS1", "S", dayNumber(2024, 3, 20));
            after.QTALIT = 10;
            appendMovement(f.registerFile(2024), before, false, prompt);
            appendMovement(f.registerFile(2024), after, false, prompt);
        }
        Brew brew = sampleBrew(2, 990);
        brew.date = c.brewDay;
        brew.losses = BrewSplitPart{10, brewFigures(10, 12, 2.99), "003"};

        const BrewSaveResult saved = saveBrew(batch, brew, false, prompt);
        ASSERT_FALSE(saved.shortage);
        std::vector<AppendResult> oneByOne;
        for (const Movement& m : brewRecords(brew))
            oneByOne.push_back(appendMovement(single.registerFile(2024), m, false, prompt));

        EXPECT_EQ(bytesOf(batch.registerFile(2024)), bytesOf(single.registerFile(2024)));
        ASSERT_EQ(saved.appended.size(), oneByOne.size());
        ASSERT_EQ(saved.appended.size(), 5u);
        for (std::size_t i = 0; i < oneByOne.size(); ++i) {
            EXPECT_EQ(saved.appended[i].NUMREC, oneByOne[i].NUMREC) << i;
            EXPECT_EQ(saved.appended[i].NUMOPE, oneByOne[i].NUMOPE) << i;
            EXPECT_EQ(saved.appended[i].position, oneByOne[i].position) << i;
        }
        EXPECT_EQ(saved.appended.front().NUMREC, 3);
        EXPECT_FALSE(fileExists(lockMarkerOf(batch.registerFile(2024))));
    }
}

TEST(BrewSave, ARawMaterialUsedMeanwhileRefusesTheWholeBrew) {
    // The grid showed 5 000 kg; another workstation unloads 4 000 kg before the brew is
    // confirmed. An unload dated after the brew leaves the stock at its date alone.
    struct Case {
        const char* what;
        double otherUnloadDay;
        bool refused;
    };
    const Case cases[] = {
        {"used on the brew's day", kBrewDay, true},
        {"used on a later day", kBrewDay + 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        RecordingPrompt prompt;
        const Folders folders = Folders::of(dir.path());
        folders.create();
        writeInitialStock(folders, prompt);
        Movement other = active("M", "MP1", "S", c.otherUnloadDay);
        other.PRODDO = product(1);
        other.QTAKG = 4000;
        appendMovement(folders.registerFile(2024), other, false, prompt);
        const std::string before = bytesOf(folders.registerFile(2024));

        Brew brew = sampleBrew(2);
        brew.rawMaterials[1].quantity = 1200;
        const BrewSaveResult saved = saveBrew(folders, brew, false, prompt);
        EXPECT_FALSE(fileExists(lockMarkerOf(folders.registerFile(2024))));
        if (!c.refused) {
            EXPECT_FALSE(saved.shortage);
            EXPECT_EQ(readMovements(folders.registerFile(2024)).size(), 4u);
            continue;
        }
        ASSERT_TRUE(saved.shortage);
        EXPECT_EQ(trimmed(saved.shortage->entry.PRODDO), product(1));
        EXPECT_DOUBLE_EQ(saved.shortage->available, 1000);
        EXPECT_DOUBLE_EQ(saved.shortage->quantity, 1200);
        EXPECT_TRUE(saved.appended.empty());
        EXPECT_EQ(bytesOf(folders.registerFile(2024)), before); // not even the first material
        EXPECT_EQ(stockShortageMessage(*saved.shortage),
                  "GIACENZA INSUFFICIENTE PER Materia M000 (" + product(1) +
                      ") DEL REGISTRO MP1/2024: disponibili 1.000, da scaricare 1.200.\n"
                      "Nel frattempo la materia prima è stata usata da un'altra postazione: la cotta non è "
                      "stata registrata.");
    }
}

// Under the lock the save reads the initial stocks again: a register whose sent
// initial stock stated before the brew day is gone (corrected by another desk since
// the window listed it) refuses the whole brew and names that register.
TEST(BrewSave, AnInitialStockChangedMeanwhileRefusesTheWholeBrew) {
    struct Case {
        const char* what;
        const char* protocol; // the register whose initial stock changes
        bool unsent;          // now unsent (a replacement waiting for its flow)
        double statedOn;      // now stated for this day (0: unchanged)
    };
    const Case cases[] = {
        {"in-process stock now unsent", "LAV1", true, 0},
        {"raw-material stock now stated on the brew day", "MP1", false, kBrewDay},
        {"in-process stock now stated after the brew day", "LAV1", false, kBrewDay + 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        RecordingPrompt prompt;
        const Folders folders = Folders::of(dir.path());
        folders.create();
        writeInitialStock(folders, prompt);
        std::string content;
        for (Movement m : readMovements(folders.initialStocks())) {
            if (trimmed(m.NUMPRO) == c.protocol) {
                if (c.unsent) m.NUMFLU = 0;
                if (c.statedOn > 0) m.DATMOV = c.statedOn;
            }
            content += encodeMovement(m);
        }
        writeWholeFile(folders.initialStocks(), content);

        const BrewSaveResult saved = saveBrew(folders, sampleBrew(2, 990), false, prompt);
        ASSERT_TRUE(saved.noInitialStock);
        EXPECT_EQ(trimmed(saved.noInitialStock->NUMPRO), c.protocol);
        EXPECT_TRUE(saved.appended.empty());
        EXPECT_EQ(bytesOf(folders.registerFile(2024)), "");
        EXPECT_FALSE(fileExists(lockMarkerOf(folders.registerFile(2024))));
    }
}

TEST(BrewSave, ABrewThatDoesNotFitOnTheDiskLeavesTheRegisterAsItWas) {
#ifdef _WIN32
    GTEST_SKIP() << "needs a small tmpfs mounted by root (Linux)";
#else
    accise::testing::SmallDisk disk;
    if (!disk.unavailable().empty()) GTEST_SKIP() << disk.unavailable();
    RecordingPrompt prompt;
    const Folders folders = Folders::of(disk.path(), disk / "temp");
    folders.create();
    writeInitialStock(folders, prompt);
    // Seven records (4 144 bytes) against one free page of 4 096: six of them fit.
    const Brew brew = sampleBrew(5, 990);
    const std::vector<Movement> records = brewRecords(brew);
    ASSERT_EQ(records.size(), 7u);
    struct statvfs fsInfo {};
    ASSERT_EQ(::statvfs(disk.path().c_str(), &fsInfo), 0);
    const std::size_t freeBytes = static_cast<std::size_t>(fsInfo.f_bavail) * fsInfo.f_bsize;
    ASSERT_GT(freeBytes, 4096u);
    writeWholeFile(disk / "filler", std::string(freeBytes - 4096, 'f'));

    const fs::path file = folders.registerFile(2024);
    EXPECT_THROW(saveBrew(folders, brew, false, prompt), IoError);
    EXPECT_EQ(bytesOf(file), "");
    EXPECT_FALSE(fileExists(lockMarkerOf(file)));

    // The same records appended one by one stop half-way: what the batch prevents.
    std::size_t added = 0;
    try {
        for (const Movement& m : records) {
            appendMovement(file, m, false, prompt);
            ++added;
        }
    } catch (const IoError&) {
    }
    EXPECT_GT(added, 0u);
    EXPECT_LT(added, records.size());
    EXPECT_EQ(fs::file_size(file), added * kMovementSize);
#endif
}
