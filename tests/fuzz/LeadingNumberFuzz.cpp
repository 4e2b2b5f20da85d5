// LeadingNumber on any text: always finite, and the rule's invariants hold.
#include "common/LeadingNumber.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const float value = tolva::LeadingNumber(text);
    // A letter after the text cannot lengthen or shorten the number, and
    // neither can blanks before it.
    if (!std::isfinite(value) || tolva::LeadingNumber(text + u'x') != value || tolva::LeadingNumber(u' ' + text) != value)
        std::abort();
    return 0;
}
