// The movement window's layout rules as a function of the values that decide them.
#include <gtest/gtest.h>

#include "logic/movements/movemententrylayout.h"

namespace accise {
namespace {

using namespace movementtexts;

TEST(MovementLayout, LoadsAndUnloadsHaveTheirOwnLook) {
    const MovementLayout load = movementLayout({"C", "", "", "", "", "", std::nullopt});
    EXPECT_EQ(load.caption, "Movimento di CARICO");
    EXPECT_EQ(load.colour, (Rgb{231, 254, 254}));
    EXPECT_EQ(load.movementLabel, "CARICO");
    EXPECT_EQ(load.dateLabel, "Data carico");
    EXPECT_TRUE(load.labelsGreen);
    EXPECT_EQ(load.partnerLabel, "Mittente");
    EXPECT_EQ(load.countryLabel, "Paese di provenienza");
    EXPECT_FALSE(load.stockShown);

    const MovementLayout unload = movementLayout({"S", "", "", "", "", "", std::nullopt});
    EXPECT_EQ(unload.caption, "Movimento di SCARICO");
    EXPECT_EQ(unload.colour, (Rgb{245, 241, 188}));
    EXPECT_EQ(unload.movementLabel, "SCARICO");
    EXPECT_EQ(unload.dateLabel, "Data scarico");
    EXPECT_FALSE(unload.labelsGreen);
    EXPECT_EQ(unload.partnerLabel, "Destinatario");
    EXPECT_EQ(unload.countryLabel, "Paese di destinazione");
    EXPECT_TRUE(unload.stockShown);
}

TEST(MovementLayout, DocumentTypeDecidesTheDocumentFields) {
    struct Case {
        const char* tipmov;
        const char* tipdoc;
        bool cumulative, document, numdoc, guarantee, ead, eadFixed;
    };
    const Case cases[] = {
        {"S", "DAS", false, true, true, false, false, false},
        {"S", "DAA", false, true, true, true, false, false},
        {"C", "DAA", false, true, true, false, false, false}, // no guarantee on a load
        {"S", "EAD", false, true, true, true, true, true},
        {"S", "FBE", false, true, false, true, true, true},
        {"S", "ROR", false, true, true, true, true, false},
        {"S", "SCF", false, false, false, false, false, false},
        {"S", "X-F", true, true, true, false, false, false},
        {"C", "DAN", true, true, true, false, false, false},
        {"S", "XAB", true, true, true, false, false, false},
    };
    for (const Case& c : cases) {
        const MovementLayout l = movementLayout({c.tipmov, c.tipdoc, "", "", "", "", std::nullopt});
        EXPECT_EQ(l.cumulativeShown, c.cumulative) << c.tipmov << c.tipdoc;
        EXPECT_EQ(l.documentShown, c.document) << c.tipmov << c.tipdoc;
        EXPECT_EQ(l.numdocShown, c.numdoc) << c.tipmov << c.tipdoc;
        EXPECT_EQ(l.guaranteeShown, c.guarantee) << c.tipmov << c.tipdoc;
        EXPECT_EQ(l.eadShown, c.ead) << c.tipmov << c.tipdoc;
        EXPECT_EQ(l.eadNumberFixed, c.eadFixed) << c.tipmov << c.tipdoc;
    }
    EXPECT_EQ(fixedPartner("DAC"), "CUMULATIVO");
    EXPECT_EQ(fixedPartner("DSC"), "DESTINATARI VARI");
    EXPECT_EQ(fixedPartner("X-E"), "DESTINATARI VARI");
    EXPECT_FALSE(fixedPartner("DAS"));
    EXPECT_EQ(fixedEadNumber("EAD"), "1");
    EXPECT_FALSE(fixedEadNumber("ROR"));
}

TEST(MovementLayout, CounterUnitTaxPositionAndPackaging) {
    struct Case {
        const char* caumov;
        const char* proddo;
        bool counter;
    };
    for (const Case& c : {Case{"030", "B000-22030000-00-0000", true}, Case{"109", "B000-22030000-00-0000", true},
                          Case{"114", "B000-22030010-00-0000", true}, Case{"071", "B000-22030000-00-0000", false},
                          Case{"109", "M000-11071099-00-0000", false}})
        EXPECT_EQ(movementLayout({"C", "", c.caumov, c.proddo, "", "", std::nullopt}).counterShown, c.counter)
            << c.caumov << " " << c.proddo;

    struct UnitCase {
        std::optional<MeasureUnit> unit;
        const char* posfis;
        const char* total;
        bool plato, excise;
        const char* exciseLabel;
    };
    const UnitCase units[] = {
        {std::nullopt, "", kTotalQuantity, true, true, kExcise},
        {MeasureUnit::Kilograms, "004", kTotalKilograms, false, false, kExcise},
        {MeasureUnit::Litres, "004", kTotalLitres, false, false, kExcise},
        {MeasureUnit::HectoDegrees, "001", kTotalLitres, true, true, kExciseDeclared},
        {MeasureUnit::HectoDegrees, "002", kTotalLitres, true, true, kExciseSuspended},
        {MeasureUnit::HectoDegrees, "003", kTotalLitres, true, false, kExcise},
    };
    for (const UnitCase& u : units) {
        const MovementLayout l = movementLayout({"S", "DAS", "071", "B000-22030010-00-0000", u.posfis, "S", u.unit});
        EXPECT_EQ(l.totalLabel, u.total) << u.posfis;
        EXPECT_EQ(l.platoShown, u.plato) << u.posfis;
        EXPECT_EQ(l.exciseShown, u.excise) << u.posfis;
        EXPECT_EQ(l.exciseLabel, u.exciseLabel) << u.posfis;
    }
    EXPECT_EQ(taxPositionForUnit(MeasureUnit::Kilograms, "001"), "004");
    EXPECT_EQ(taxPositionForUnit(MeasureUnit::HectoDegrees, "004"), "");
    EXPECT_FALSE(taxPositionForUnit(MeasureUnit::HectoDegrees, "001"));

    const MovementLayout packaged = movementLayout({"S", "", "", "", "", "N", std::nullopt});
    EXPECT_TRUE(packaged.packagedShown);
    EXPECT_FALSE(packaged.totalEditable);
    EXPECT_EQ(packaged.bulkCaption, "Condizionato");
    const MovementLayout bulk = movementLayout({"S", "", "", "", "", "S", std::nullopt});
    EXPECT_FALSE(bulk.packagedShown);
    EXPECT_TRUE(bulk.totalEditable);
    EXPECT_EQ(bulk.bulkCaption, "Sfuso");
}

} // namespace
} // namespace accise
