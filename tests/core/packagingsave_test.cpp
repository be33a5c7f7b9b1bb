// A packaging's records land together: in the same places and with the same numbers
// as one record append after the other, or not at all.
#include <gtest/gtest.h>

#include "core/books/movementfile.h"
#include "core/books/packaging.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/dates.h"
#include "movement_fixture.h"
#include "test_support.h"

using namespace accise;
using accise::testing::RecordingPrompt;
using accise::testing::TempDir;

namespace {

// The brewery of the movement tests, with a register file that already holds movements
// before, on and after the packaging's day, so that its records go between them.
struct Brewery {
    TempDir dir;
    RecordingPrompt prompt;
    Folders folders = Folders::of(dir.path(), dir / "temp");

    Brewery() {
        accise::testing::writeBrewery(folders, prompt);
        for (const auto& [day, litres] : {std::pair{dayNumber(2024, 2, 1), 100.0}, std::pair{dayNumber(2024, 3, 9), 50.0},
                                          std::pair{dayNumber(2024, 3, 1), 20.0}})
            appendMovement(folders.registerFile(2024), accise::testing::fixtureUnload(day, litres), false, prompt);
        Movement load = accise::testing::fixtureUnload(dayNumber(2024, 3, 1), 70);
        load.TIPMOV = "C";
        load.CAUMOV = "114";
        appendMovement(folders.registerFile(2024), load, false, prompt);
    }

    // 1 000 bottles of 0,33 litres at 12 degrees, 10 litres of losses, released directly.
    Packaging packaging() const {
        Packaging p;
        p.date = dayNumber(2024, 3, 1);
        p.NUMDOC = "IMB 1";
        p.PRODAZ = "BIONDA33";
        p.PRODDO = "B000-22030001-00-0000";
        p.GRAPLA = 12;
        p.NUMCON = 1000;
        p.VOLUNI = 0.33;
        p.packaged = {{"N", "2024", "FC1"}, "IT079100"};
        p.inProcess = *inProcessStockOn(folders, p.date);
        p.lossPosition = "003";
        p.directRelease = true;
        p.figures = packagingFigures(p.NUMCON, p.VOLUNI, p.GRAPLA, 10, 2.99);
        return p;
    }
    std::string bytes() const { return readRecords(folders.registerFile(2024), 1, IfMissing::Empty).bytes(); }
};

} // namespace

TEST(PackagingSave, TheBatchIsWhatOneAppendAfterTheOtherWouldWrite) {
    Brewery together, oneByOne;
    const Packaging p = together.packaging();
    ASSERT_EQ(packagingRecords(p).size(), 4u);

    const PackagingSaveResult saved = savePackaging(together.folders, p, together.prompt);
    ASSERT_EQ(saved.outcome, PackagingSaveOutcome::Saved);
    std::vector<AppendResult> expected;
    for (const Movement& m : packagingRecords(p))
        expected.push_back(appendMovement(oneByOne.folders.registerFile(2024), m, false, oneByOne.prompt));

    EXPECT_EQ(together.bytes(), oneByOne.bytes());
    ASSERT_EQ(saved.written.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(saved.written[i].NUMREC, expected[i].NUMREC) << i;
        EXPECT_EQ(saved.written[i].NUMOPE, expected[i].NUMOPE) << i;
        EXPECT_EQ(saved.written[i].position, expected[i].position) << i;
    }
    // The records went between the movements of the file, not after them: the unload
    // of 9 March stays last.
    const std::vector<Movement> file = readMovements(together.folders.registerFile(2024));
    ASSERT_EQ(file.size(), 8u);
    EXPECT_EQ(file.back().DATMOV, dayNumber(2024, 3, 9));
    EXPECT_EQ(file.back().NUMREC, 2);
    EXPECT_EQ(saved.written.front().NUMREC, 5);
}

// The in-process register's initial stock restated for the packaging day by another
// desk after the window listed it: the in-process unload would come before the stock,
// so nothing is written.
TEST(PackagingSave, AnInitialStockRestatedMeanwhileRefusesThePackaging) {
    Brewery b;
    const Packaging p = b.packaging();
    std::string content;
    for (Movement m : readMovements(b.folders.initialStocks())) {
        if (trimmed(m.NUMPRO) == "LAV1") m.DATMOV = p.date;
        content += encodeMovement(m);
    }
    writeWholeFile(b.folders.initialStocks(), content);
    const std::string before = b.bytes();
    const PackagingSaveResult r = savePackaging(b.folders, p, b.prompt);
    EXPECT_EQ(r.outcome, PackagingSaveOutcome::NoInitialStock);
    EXPECT_TRUE(r.written.empty());
    EXPECT_EQ(b.bytes(), before);
}

TEST(PackagingSave, AStockUsedMeanwhileRefusesTheWholePackaging) {
    Brewery b;
    const Packaging p = b.packaging();
    // 1 700 litres leave the in-process register after the window showed its stock.
    Movement other = accise::testing::fixtureUnload(dayNumber(2024, 2, 15), 1700);
    other.TIPREG = "L";
    other.NUMPRO = "LAV1";
    other.PRODDO = "B000-22030000-00-0000";
    appendMovement(b.folders.registerFile(2024), other, false, b.prompt);
    const std::string before = b.bytes();

    const PackagingSaveResult r = savePackaging(b.folders, p, b.prompt);
    EXPECT_EQ(r.outcome, PackagingSaveOutcome::StockShort);
    EXPECT_EQ(r.verdict, PackagingStockVerdict::QuantityOver); // 330 litres of 300
    EXPECT_DOUBLE_EQ(r.stock.QTALIT, 300);
    EXPECT_TRUE(r.written.empty());
    EXPECT_EQ(b.bytes(), before);
}
