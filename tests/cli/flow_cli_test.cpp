// accise-cli flow: list, create, check and reactivate on a demo folder.
#include <gtest/gtest.h>

#include <vector>

#include <cstdlib>
#include <fstream>

#include "cli/cli_support.h"
#include "core/books/movementfile.h"
#include "test_support.h"

using namespace accise;
using accise::testing::cliPath;
using accise::testing::runCli;
using accise::testing::runProgram;
using accise::testing::TempDir;

namespace {

std::string q(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

int lineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

struct DemoFolder {
    TempDir dir;
    std::filesystem::path work = dir / "demo";
    DemoFolder() {
        // This workstation's temp folder (selection files) inside the test folder.
        setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
        EXPECT_EQ(runCli("demo " + q(work)).exitCode, 0);
    }
    std::string year() const {
        for (const auto& e : std::filesystem::directory_iterator(work / "REGISTRI"))
            if (e.path().extension() == ".RGM") return e.path().stem().string();
        return "";
    }
};

TEST(CliFlow, ListCreateCheckAndReactivate) {
    DemoFolder d;
    const std::string year = d.year();
    ASSERT_FALSE(year.empty());
    const auto list = runCli("flow list " + q(d.work) + " --year " + year);
    ASSERT_EQ(list.exitCode, 0) << list.err;
    const int listed = lineCount(list.out);
    ASSERT_GE(listed, 3);
    EXPECT_EQ(list.out.substr(0, 2), "0 ");

    const auto create = runCli("flow create " + q(d.work) + " --year " + year + " --date 15/03/" + year +
                               " --lines 0,2");
    ASSERT_EQ(create.exitCode, 0) << create.err;
    const std::string flowFile = create.out.substr(0, create.out.size() - 1);
    EXPECT_EQ(std::filesystem::path(flowFile).filename().string().substr(4), "0315.C01");
    const auto check = runCli("flow check " + q(flowFile));
    EXPECT_EQ(check.exitCode, 0) << check.out;
    EXPECT_EQ(lineCount(runCli("flow list " + q(d.work) + " --year " + year).out), listed - 2);

    // The next flow of the day gets the next progressive once the first is signed.
    std::ofstream(d.work / "FLUSSI/firmati" / (std::filesystem::path(flowFile).filename().string() + ".p7m")) << "s";
    const auto second = runCli("flow create " + q(d.work) + " --year " + year + " --date 15/03/" + year +
                               " --lines 0");
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_NE(second.out.find("0315.C02"), std::string::npos);

    const auto reactivate = runCli("flow reactivate " + q(d.work) + " --year " + year + " --date 15/03/" + year +
                                   " --number 1 --all");
    ASSERT_EQ(reactivate.exitCode, 0) << reactivate.err;
    EXPECT_EQ(reactivate.out, "2 record riattivati\n");
    EXPECT_EQ(lineCount(runCli("flow list " + q(d.work) + " --year " + year).out), listed - 1);
}

// A demo made with a relative folder works from any directory: the paths it writes
// hold wherever the program that reads them was started.
TEST(CliFlow, ADemoMadeWithARelativeFolderWorksFromAnotherDirectory) {
    TempDir dir;
    setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    std::filesystem::create_directories(dir / "altrove");
    ASSERT_EQ(runProgram("cd " + q(dir.path()) + " && " + cliPath() + " demo rel").exitCode, 0);
    std::string year;
    for (const auto& e : std::filesystem::directory_iterator(dir / "rel/REGISTRI"))
        if (e.path().extension() == ".RGM") year = e.path().stem().string();
    const auto create = runProgram("cd " + q(dir / "altrove") + " && " + cliPath() + " flow create ../rel --year " +
                                   year + " --date 15/03/" + year + " --lines 0");
    ASSERT_EQ(create.exitCode, 0) << create.err;
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(create.out.substr(0, create.out.size() - 1))))
        << create.out;
    // The flow is in the demo's own folder of files to sign, however the path was spelt.
    const std::filesystem::path written(create.out.substr(0, create.out.size() - 1));
    EXPECT_TRUE(std::filesystem::equivalent(written.parent_path(), dir / "rel/FLUSSI/dafirmare")) << create.out;
}

TEST(CliFlow, CheckNamesProblemsAndBadArgumentsAreUsageErrors) {
    TempDir dir;
    const auto file = dir / "AB120315.C01";
    std::ofstream(file, std::ios::binary) << "AB12\n";
    const auto check = runCli("flow check " + q(file));
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_NE(check.out.find("riga 1: termina con LF senza CR"), std::string::npos) << check.out;

    DemoFolder d;
    // The demo's own first flow (its sent initial stocks) is the folder's only file.
    const auto filesToSign = [&] {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(d.work / "FLUSSI/dafirmare"))
            names.push_back(e.path().filename().string());
        return names;
    };
    const std::vector<std::string> before = filesToSign();
    ASSERT_EQ(before.size(), 1u);
    for (const std::string& args :
         {"flow create " + q(d.work) + " --year 2007 --date 01/01/2020", "flow create " + q(d.work) +
              " --year " + d.year() + " --date 32/01/2020",
          "flow create " + q(d.work) + " --year " + d.year() + " --date 01/01/2020 --number 100",
          "flow create " + q(d.work) + " --year " + d.year() + " --date 01/01/2020 --lines 99999",
          "flow reactivate " + q(d.work) + " --year " + d.year() + " --date 01/01/2020", std::string("flow send")}) {
        const auto r = runCli(args);
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_NE(r.err.find("uso: accise-cli flow"), std::string::npos) << args;
    }
    EXPECT_EQ(filesToSign(), before);
}

} // namespace
