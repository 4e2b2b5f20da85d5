#include "support/RowNames.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>

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
    for (const unsigned char c : printed) {
        if (std::isalnum(c) || c == '_') {
            name += char(c);
            continue;
        }
        static const std::map<unsigned char, const char*> words = {
            {'-', "Minus"}, {'+', "Plus"}, {'.', "Dot"}, {',', "Comma"},
            {'&', "Amp"}, {'$', "Dollar"}, {'\t', "Tab"}, {'\n', "Newline"}};
        if (const auto word = words.find(c); word != words.end()) {
            name += word->second;
        } else if (c >= 0x80) { // a byte of a UTF-8 character
            char hex[4];
            std::snprintf(hex, sizeof hex, "x%02X", c);
            name += hex;
        } else if (name.empty() || name.back() != '_') {
            name += '_';
        }
    }
    while (!name.empty() && name.back() == '_')
        name.pop_back();
    return name.empty() ? std::string("Empty") : name;
}

} // namespace tolva::testing
