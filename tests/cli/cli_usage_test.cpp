#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

int exitCodeOf(const std::string& arguments) {
    const std::string command = std::string(ACCISE_BINARY_DIR) + "/src/tools/accise-cli " + arguments + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WEXITSTATUS(status);
}

TEST(CliUsage, MissingOrUnknownCommandIsAUsageError) {
    EXPECT_EQ(exitCodeOf(""), 2);
    EXPECT_EQ(exitCodeOf("nonesiste"), 2);
}

} // namespace
