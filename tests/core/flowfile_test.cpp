// The flow file, compared byte for byte with files written by hand from its format.
#include <gtest/gtest.h>

#include "core/flow/flowfile.h"
#include "core/tables/dates.h"
#include "flow_testdata.h"

using namespace accise;
namespace fd = accise::flowdata;

namespace {

struct GoldenCase {
    const char* file;
    const char* profile;
    const char* exciseCode;
    const char* flowName;
    std::vector<Movement> records;
};

class GoldenFlow : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenFlow, IsWrittenByteForByte) {
    const GoldenCase& c = GetParam();
    const std::string expected = fd::golden(c.file);
    ASSERT_FALSE(expected.empty()) << c.file;
    const FlowCompany company = FlowCompany::of(fd::company(c.profile, c.exciseCode));
    const std::string bytes = flowFileBytes(company, c.flowName, c.records);
    EXPECT_EQ(bytes, expected);
    // The same records give the same bytes again.
    EXPECT_EQ(flowFileBytes(company, c.flowName, c.records), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, GoldenFlow,
    ::testing::Values(
        GoldenCase{"every_kind_alcoda.flow", "ALCODA", "IT00ABC12345X", "AB120315.C01", fd::everyKind()},
        GoldenCase{"one_movement.flow", "ALCODA", "IT00ABC12345X", "AB120315.C01", {fd::unloadWithExcise()}},
        // A longer excise code is cut to its first 13 characters.
        GoldenCase{"day_records_alcopp.flow", "ALCOPP", "IT00ABC12345XYZ", "AB120401.C07",
                   {fd::daySummaryAlcopp(), fd::dayCorrectionAlcopp()}}));

TEST(FlowValues, DecimalsDatesAndProductCodes) {
    EXPECT_EQ(flowDecimal(1234.5, 5), "1234.50000");
    EXPECT_EQ(flowDecimal(1234.5, 2), "1234.50");
    EXPECT_EQ(flowDecimal(0, 5), "0.00000");
    EXPECT_EQ(flowDecimal(1234567.125, 2), "1234567.13"); // no grouping, halves away from zero
    EXPECT_EQ(flowDecimal(-0.5, 2), "-0.50");
    EXPECT_EQ(flowDecimal(-0.001, 2), "0.00"); // no "-" before a zero
    EXPECT_EQ(flowDate8(dayNumber(2014, 3, 15)), "20140315");
    EXPECT_EQ(flowDate8(0), "18991230");
    EXPECT_EQ(reducedProductCode("2203-00000001-00-0000"), "220300000001000000");
    EXPECT_EQ(reducedProductCode("ab 2203.X-"), "2203X");
}

TEST(FlowLines, ExciseNeedsATaxPositionAboveZero) {
    const FlowCompany company = FlowCompany::of(fd::company());
    for (const char* posfis : {"000", "   ", " 01"}) {
        Movement m = fd::unloadWithExcise();
        m.POSFIS = posfis;
        const std::string line = flowRecordLine(m, company);
        EXPECT_NE(line.find("\t\tNOTA: "), std::string::npos) << posfis; // field 27 empty
    }
}

TEST(FlowLines, ShortCompanyValuesShiftTheHeadLine) {
    AddressRecord c = fd::company();
    c.section = "AB";
    const FlowCompany company = FlowCompany::of(c);
    FlowCounts counts;
    counts.byKind = {10, 0, 0, 0, 0};
    EXPECT_EQ(flowHeadLine(company, "AB120315.C01", counts),
              "AB12            AB120315.C01            AB    01234567890     001 00012");
}

} // namespace
