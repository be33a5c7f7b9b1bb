// The flow format check: the hand-written flows pass, each kind of damage is named.
#include <gtest/gtest.h>

#include "core/flow/flowcheck.h"
#include "flow_testdata.h"

using namespace accise;
namespace fd = accise::flowdata;

namespace {

std::string replaced(std::string s, const std::string& from, const std::string& to) {
    const std::size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) s.replace(at, from.size(), to);
    return s;
}

TEST(FlowCheck, HandWrittenFlowsAreWellFormed) {
    for (const char* name : {"every_kind_alcoda.flow", "one_movement.flow", "day_records_alcopp.flow"}) {
        const std::string bytes = fd::golden(name);
        ASSERT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(checkFlowFile(bytes), std::vector<std::string>{}) << name;
    }
}

struct Damage {
    const char* what;
    std::string from, to;
    std::string expected; // the one problem reported
};

TEST(FlowCheck, EachDamageIsNamed) {
    const std::string good = fd::golden("every_kind_alcoda.flow");
    const std::vector<Damage> cases = {
        {"head count", "001 00009", "001 00010", "riga 1: la testata indica 00010 righe, il file ne ha 9"},
        {"summary count", "\t3\t1\t1\t1\t0\t1\t8\t", "\t2\t1\t1\t1\t0\t1\t8\t",
         "riga 2: il campo 2 indica 2 record C, il file ne ha 3"},
        {"lines after head", "\t1\t8\t\r\n", "\t1\t9\t\r\n",
         "riga 2: il campo 8 indica 9 righe dopo la testata, il file ne ha 8"},
        {"bare LF", "NOTA: credito\t\r\n", "NOTA: credito\t\n", "riga 7: termina con LF senza CR"},
        {"missing field", "\t1000.00\t200.00\t", "\t1000.00\t", "riga 6: una riga di tipo F ha 8 campi invece di 9"},
        {"comma decimal", "\t125.50\t1411\tNOTA: credito", "\t125,50\t1411\tNOTA: credito",
         "riga 7: il campo 8 (\"125,50\") deve essere un numero con 2 decimali"},
        {"short dec5", "1234.50000", "1234.5", "riga 3: il campo 10 (\"1234.5\") deve essere un numero con 5 decimali"},
        {"bad date", "\t20140314\t\tIT\t", "\t20140231\t\tIT\t",
         "riga 4: il campo 20 (\"20140231\") deve essere una data AAAAMMGG"},
        {"dated duty record", "00000000DI", "20140210DI", "riga 7: la data del campo 1 deve essere 00000000"},
        {"undefined byte", "perch\xE9", "perch\x81", "riga 5: contiene un byte che non è un carattere Windows-1252"},
        {"no closing TAB", "NOTA: ravvedimento\t\r\n", "NOTA: ravvedimento\r\n",
         "riga 9: non termina con TAB prima di CR LF"},
        {"summary without closing TAB", "\t3\t1\t1\t1\t0\t1\t8\t\r\n", "\t3\t1\t1\t1\t0\t1\t8\r\n",
         "riga 2: non termina con TAB prima di CR LF"},
    };
    for (const Damage& d : cases) {
        const std::vector<std::string> problems = checkFlowFile(replaced(good, d.from, d.to));
        ASSERT_FALSE(problems.empty()) << d.what;
        EXPECT_EQ(problems.front(), d.expected) << d.what;
    }
}

TEST(FlowCheck, MissingLastLineEndAndEmptyFile) {
    std::string bytes = fd::golden("one_movement.flow");
    bytes.resize(bytes.size() - 2);
    EXPECT_EQ(checkFlowFile(bytes), std::vector<std::string>{"riga 3: l'ultima riga non termina con CR LF"});
    EXPECT_EQ(checkFlowFile(""), std::vector<std::string>{"il file è vuoto"});
}

} // namespace
