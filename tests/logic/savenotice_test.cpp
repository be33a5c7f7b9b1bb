// The line that confirms a save, for each kind of save a window makes.
#include "logic/shell/savenotice.h"

#include <gtest/gtest.h>

#include "core/tables/dates.h"

namespace accise {
namespace {

Movement movement(const char* tipmov, double kg, double litres, double accisa) {
    Movement m = blankMovement();
    m.TIPMOV = tipmov;
    m.QTAKG = kg;
    m.QTALIT = litres;
    m.ACCISA = accisa;
    return m;
}

TEST(SaveNotice, MovementLinesByModeAndUnit) {
    Movement corrected = blankMovement();
    corrected.NUMREC = 120;
    struct Case {
        EntryMode mode;
        Movement saved;
        const char* text;
    };
    const Case cases[] = {
        {EntryMode::Insert, movement("S", 0, 100, 35.88), "Movimento n. 165 registrato (Scarico, 100 l, accisa 35,88)"},
        // Raw materials by weight, no excise: kilograms and no excise shown.
        {EntryMode::Insert, movement("C", 1200, 0, 0), "Movimento n. 165 registrato (Carico, 1.200 kg)"},
        {EntryMode::Modify, movement("S", 0, 1000.5, 0), "Movimento n. 165 modificato (Scarico, 1.000,5 l)"},
        {EntryMode::CorrectionCancel, movement("S", 0, 100, 35.88),
         "Rettifica n. 165 registrata: annulla il movimento n. 120"},
        {EntryMode::CorrectionModify, movement("S", 0, 90, 32.29),
         "Rettifica n. 165 registrata: sostituisce il movimento n. 120 (Scarico, 90 l, accisa 32,29)"},
    };
    SaveResult result;
    result.NUMREC = 165;
    for (const Case& c : cases) EXPECT_EQ(movementSavedNotice(c.mode, c.saved, result, corrected), c.text);
}

TEST(SaveNotice, DutyLinesSayWhatTheSummaryOwes) {
    Movement period = blankMovement();
    period.CODPAE = "05";
    period.ANNPRO = "2014";
    period.VALAUX = 150;
    Movement day = blankMovement();
    day.DATMOV = dayNumber(2024, 3, 20);
    day.QTAKG = 12.5;
    EXPECT_EQ(dutySavedNotice(DutyKind::Summary, false, period, false),
              "Riepilogo accisa periodo 05/2014 registrato (da versare 150,00)");
    EXPECT_EQ(dutySavedNotice(DutyKind::Summary, true, day, false),
              "Riepilogo accisa del 20/03/2024 registrato (accisa 12,50)");
    EXPECT_EQ(dutySavedNotice(DutyKind::Credit, false, period, false), "Record D registrato");
    EXPECT_EQ(dutySavedNotice(DutyKind::Summary, false, period, true), "Rettifica del record E registrata");
}

} // namespace
} // namespace accise
