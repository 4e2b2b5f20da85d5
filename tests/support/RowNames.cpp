#include "support/RowNames.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace tolva::testing {

std::string TestName(const std::string& printed)
{
    // GoogleTest prints a row without a PrintTo as its bytes, padding and
    // pointers included: such a name would change from build to build.
    if (printed.find("-byte object <") != std::string::npos) {
        std::fprintf(stderr, "A parameterised suite's row type has no PrintTo: %s\n", printed.c_str());
        std::abort();
    }
    std::string name;
    const auto separate = [&name] {
        if (name.empty() || name.back() != '_')
            name += '_';
    };
    for (const unsigned char c : printed) {
        if (std::isalnum(c) || c == '_') {
            name += char(c);
            continue;
        }
        switch (c) {
        case '-': name += "Minus"; break;
        case '+': name += "Plus"; break;
        case '.': name += "Dot"; break;
        case ',': name += "Comma"; break;
        case '&': name += "Amp"; break;
        case '$': name += "Dollar"; break;
        case '\t': name += "Tab"; break;
        case '\n': name += "Newline"; break;
        default:
            if (c >= 0x80) { // a byte of a UTF-8 character
                char hex[4];
                std::snprintf(hex, sizeof hex, "x%02X", c);
                name += hex;
            } else {
                separate();
            }
        }
    }
    while (!name.empty() && name.back() == '_')
        name.pop_back();
    return name.empty() ? std::string("Empty") : name;
}

} // namespace tolva::testing
