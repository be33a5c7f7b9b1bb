#include "logic/framework/inputmask.h"

namespace accise {
namespace {

// Mask letters of the toolkit: a literal equal to one of them needs a "\".
bool isToolkitMaskLetter(char c) {
    constexpr std::string_view letters = "AaNnXx90DdHhBb#><!\\[]{}";
    return letters.find(c) != std::string_view::npos;
}

} // namespace

char maskBlank(std::string_view storedMask) {
    const auto first = storedMask.find(';');
    if (first == std::string_view::npos) return '_';
    const auto second = storedMask.find(';', first + 1);
    if (second == std::string_view::npos || second + 1 >= storedMask.size()) return '_';
    return storedMask[second + 1];
}

std::string toolkitInputMask(std::string_view storedMask) {
    const std::string_view body = storedMask.substr(0, storedMask.find(';'));
    if (body.empty()) return {};
    std::string out;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        switch (c) {
        case '!':
            break; // trimming of leading blanks: nothing to do on the toolkit's side
        case '0':
            out += '9';
            break;
        case '9':
            out += '0';
            break;
        case '#':
            out += '#';
            break;
        case 'L':
            out += 'L';
            break;
        case 'l':
            out += 'l';
            break;
        case 'A':
            out += 'N';
            break;
        case 'a':
            out += 'n';
            break;
        case 'C':
            out += 'X';
            break;
        case 'c':
            out += 'x';
            break;
        case '>':
        case '<':
            out += c;
            break;
        case '\\':
            if (i + 1 < body.size()) {
                ++i;
                if (isToolkitMaskLetter(body[i])) out += '\\';
                out += body[i];
            }
            break;
        default:
            if (isToolkitMaskLetter(c)) out += '\\';
            out += c;
        }
    }
    out += ';';
    out += maskBlank(storedMask);
    return out;
}

} // namespace accise
