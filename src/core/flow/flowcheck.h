#pragma once
// Checks a telematic flow file against its format before it is signed or after it
// comes back: encoding, line ends, the head and summary lines and the fields of every
// record line. Used by the command-line tool and by anything that receives flows.
#include <string>
#include <string_view>
#include <vector>

namespace accise {

// One Italian text per problem, "riga N: ..." where a line is concerned; empty when
// the bytes are a well-formed flow.
std::vector<std::string> checkFlowFile(std::string_view bytes);

} // namespace accise
