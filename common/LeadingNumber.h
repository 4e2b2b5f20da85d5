#pragma once
// The lenient number reader behind every numeric text box and stored number.

#include <QStringView>

namespace tolva {

// The value of the longest leading part of `text` that reads as a number, read
// as a double and then rounded to a 32-bit float; 0 when no leading part does
// (and for empty text).
//
// A number is: blanks (spaces, tabs), an optional sign, digits with an optional
// decimal point ('.' whatever the locale; "1." and ".5" count, "." does not), an
// optional exponent ("e"/"E", optional sign, digits), blanks. Or the hexadecimal
// form "&H" with hex digits (at most 8 after any leading zeros) and an optional
// trailing "&", read as a 32-bit two's-complement integer ("&HFFFFFFFF" is
// -1). Commas, "inf", "nan" and the like are not part of a number. The result is always finite: a value beyond the
// float range reads as the largest float of its sign; one too small for a float
// reads as 0. One pass over the text; never throws.
float LeadingNumber(QStringView text);

} // namespace tolva
