#include "common/LeadingNumber.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tolva {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

int hexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// "&H" and hex digits, starting at `i`. A prefix converts while its value fits
// in 32 bits: leading zeros are free, and the digits stop at the eighth
// significant one.
float readHex(QStringView text, qsizetype i)
{
    quint32 value = 0;
    bool digits = false;
    int significant = 0;
    for (; i < text.size(); ++i) {
        const int d = hexValue(text[i]);
        if (d < 0 || (significant == 8))
            break;
        digits = true;
        if (significant > 0 || d > 0)
            ++significant;
        value = value * 16 + quint32(d);
    }
    return digits ? float(qint32(value)) : 0.0f;
}

// Converts a checked decimal literal ("-12.5e3"): first to a double, then that
// double to a float, the two roundings every stored number has always been
// read with (a text just above the midpoint of two floats can round to the
// even one). When the value lies beyond even the double range, from_chars
// reports it out of range; then the decimal exponent of the first significant
// digit tells overflow from underflow.
float convertDecimal(const std::string& literal, qsizetype mantissaStart, qsizetype exponentStart)
{
    constexpr float kMax = std::numeric_limits<float>::max();
    double value = 0.0;
    const char* first = literal.data();
    const char* last = literal.data() + literal.size();
    if (*first == '+')
        ++first;  // from_chars takes no plus sign
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc()) {
        // At or beyond the largest float every value rounds to it or past it.
        if (std::fabs(value) >= double(kMax))
            return value > 0 ? kMax : -kMax;
        return float(value);
    }

    // Out of range: estimate the magnitude (digits before the point of the
    // first significant digit, plus the exponent).
    const bool negative = literal[0] == '-';
    const qsizetype mantissaEnd = exponentStart < 0 ? qsizetype(literal.size()) : exponentStart;
    qsizetype magnitude = 0;
    bool seenPoint = false, significant = false;
    for (qsizetype k = mantissaStart; k < mantissaEnd; ++k) {
        const char c = literal[size_t(k)];
        if (c == '.') {
            seenPoint = true;
        } else if (!significant) {
            if (c != '0') {
                significant = true;
                if (!seenPoint)
                    magnitude = 1;
            } else if (seenPoint) {
                --magnitude;
            }
        } else if (!seenPoint) {
            ++magnitude;
        }
    }
    if (!significant)
        return 0.0f;
    if (exponentStart >= 0) {
        // Saturate: a megabyte of exponent digits must not overflow.
        qsizetype k = exponentStart + 1;
        bool expNegative = false;
        if (literal[size_t(k)] == '+' || literal[size_t(k)] == '-')
            expNegative = literal[size_t(k++)] == '-';
        qsizetype exponent = 0;
        for (; k < qsizetype(literal.size()); ++k)
            exponent = std::min<qsizetype>(exponent * 10 + (literal[size_t(k)] - '0'), 1'000'000'000);
        magnitude += expNegative ? -exponent : exponent;
    }
    if (magnitude > 0)
        return negative ? -kMax : kMax;
    return 0.0f;
}

} // namespace

float LeadingNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;

    if (i + 1 < n && text[i] == u'&' && (text[i + 1] == u'H' || text[i + 1] == u'h'))
        return readHex(text, i + 2);

    // One pass of a small state machine; `end` is the end of the longest
    // prefix seen so far that is a complete number. Trailing blanks do not
    // change the value, so they need no tracking.
    const qsizetype start = i;
    qsizetype end = -1;
    qsizetype mantissaStart = i, exponentStart = -1;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        mantissaStart = ++i;
    bool digits = false;
    while (i < n && isDigit(text[i])) {
        ++i;
        digits = true;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return 0.0f;
    end = i;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype k = i + 1;
        if (k < n && (text[k] == u'+' || text[k] == u'-'))
            ++k;
        const qsizetype expDigits = k;
        while (k < n && isDigit(text[k]))
            ++k;
        if (k > expDigits) {
            exponentStart = i - start;
            end = k;
        }
    }

    // The literal is plain ASCII by construction.
    std::string literal;
    literal.reserve(size_t(end - start));
    for (qsizetype k = start; k < end; ++k)
        literal.push_back(char(text[k].unicode()));
    return convertDecimal(literal, mantissaStart - start, exponentStart);
}

} // namespace tolva
