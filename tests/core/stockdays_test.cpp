// A register's stock on every day from a change on: the unload allowed by its own
// day that the later unloads had already used, across the year's end.
#include <gtest/gtest.h>

#include "core/books/movementcalc.h"
#include "core/books/movementfile.h"
#include "core/books/stock.h"
#include "core/tables/dates.h"
#include "test_support.h"

using namespace accise;
using accise::testing::RecordingPrompt;
using accise::testing::TempDir;

namespace {

// Register F 2024/P-1, litres at 12 °Plato, its stock day by day:
//   30/11/2025 initial stock  6 400
//   10/12 unload 730   -> 5 670
//   18/12 load 2 500   -> 8 170
//   20/12 unload 2 000 -> 6 170
//   31/12 unload 2 940 -> 3 230
//   15/01/2026 unload 3 000 (next year's file) -> 230
struct Books {
    TempDir dir;
    RecordingPrompt prompt;
    Folders folders = Folders::of(dir.path(), dir / "temp");
    RegisterKey reg{"F", "2024", "P-1"};

    Books() {
        folders.create();
        Movement stock = record(dayNumber(2025, 11, 30), "G", 6400);
        stock.NUMFLU = 1;
        appendMovement(folders.initialStocks(), stock, false, prompt);
        for (const Movement& m : {unload(10, 730), load(18, 2500), unload(20, 2000), unload(31, 2940)})
            appendMovement(folders.registerFile(2025), m, false, prompt);
        appendMovement(folders.registerFile(2026), record(dayNumber(2026, 1, 15), "S", 3000), false, prompt);
    }
    Movement record(double date, const char* tipmov, double litres, double plato = 12,
                    const char* numpro = "P-1") const {
        Movement m = blankMovement();
        m.DATMOV = date;
        m.TIPREC = "C";
        m.TIPOPE = "I";
        m.TIPMOV = tipmov;
        m.STATO = " ";
        m.TIPREG = "F";
        m.ANNPRO = "2024";
        m.NUMPRO = numpro;
        m.QTALIT = litres;
        m.ETTOGR = litres * plato / 100;
        return m;
    }
    Movement unload(int december, double litres, double plato = 12) const {
        return record(dayNumber(2025, 12, december), "S", litres, plato);
    }
    Movement load(int december, double litres) const { return record(dayNumber(2025, 12, december), "C", litres); }
};

} // namespace

TEST(StockOnLaterDays, TheFirstDayAChangeWouldLeaveShort) {
    Books b;
    const Movement load18 = b.load(18, 2500);
    Movement otherRegister = b.unload(15, 9000);
    otherRegister.NUMPRO = "P-2";
    struct Case {
        const char* what;
        StockChange change;
        std::optional<double> shortDay;
        bool degrees = false;
    };
    const Case cases[] = {
        {"an unload of what the last day holds", {{b.unload(15, 230)}, {}}, std::nullopt},
        // 230 - 231 on 15/01/2026: short in the next year's file.
        {"one litre more", {{b.unload(15, 231)}, {}}, dayNumber(2026, 1, 15)},
        // 5 670 on 15/12 leaves 0 that day, 3 230 - 5 670 = -2 440 on 31/12.
        {"the whole day's stock", {{b.unload(15, 5670)}, {}}, dayNumber(2025, 12, 31)},
        {"more than the day's stock", {{b.unload(15, 5671)}, {}}, dayNumber(2025, 12, 15)},
        // The load of 18/12 turned into an unload of 19/12: 3 230 - 2 500 - 2 500 on 31/12.
        {"a load turned into an unload", {{b.unload(19, 2500)}, {load18}}, dayNumber(2025, 12, 31)},
        // The load taken down to 2 000: 230 - 500 on 15/01/2026.
        {"a load made smaller", {{b.load(18, 2000)}, {load18}}, dayNumber(2026, 1, 15)},
        {"a load removed", {{}, {load18}}, dayNumber(2026, 1, 15)},
        {"an unload moved later", {{b.unload(31, 730)}, {b.unload(10, 730)}}, std::nullopt},
        {"a load added", {{b.load(1, 10)}, {}}, std::nullopt},
        {"another register's unload", {{otherRegister}, {}}, std::nullopt},
        // 230 l at 20 °Plato are 46 Hlg against the 27,6 the register holds on 15/01/2026.
        {"litres enough, degrees not", {{b.unload(15, 230, 20)}, {}}, dayNumber(2026, 1, 15), true},
    };
    for (const Case& c : cases) {
        const auto shortfall = firstShortDay(b.folders, b.reg, c.change);
        ASSERT_EQ(shortfall.has_value(), c.shortDay.has_value()) << c.what;
        if (!shortfall) continue;
        EXPECT_EQ(formatDate(shortfall->day), formatDate(*c.shortDay)) << c.what;
        EXPECT_EQ(shortfall->degrees, c.degrees) << c.what;
    }
    EXPECT_EQ(shortDayMessage(dayNumber(2025, 12, 31)), "LA GIACENZA DEL REGISTRO SAREBBE NEGATIVA IL 31/12/2025");
}

TEST(StockOnLaterDays, TheRecordBeingChangedGivesBackOnlyWhatItTookUpToTheDate) {
    Books b;
    Movement otherRegister = b.unload(12, 500);
    otherRegister.NUMPRO = "P-2";
    struct Case {
        const char* what;
        int day; // of the unload typed, December 2025
        Movement beingChanged;
        double available;
    };
    // On 19/12 the register holds 8 170, on 15/12 5 670.
    const Case cases[] = {
        {"a new movement", 19, blankMovement(), 8170},
        {"an earlier unload of the register is put back", 19, b.unload(10, 730), 8900},
        {"a load turned into an unload is taken out", 19, b.load(18, 2500), 5670},
        {"a load dated after the day changes nothing", 15, b.load(18, 2500), 5670},
        {"an unload dated after the day changes nothing", 19, b.unload(20, 2000), 8170},
        {"another register's unload changes nothing", 19, otherRegister, 8170},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(stockForUnload(b.folders, b.unload(c.day, 100), c.beingChanged).QTALIT, c.available)
            << c.what;
}
