#include "NumberText.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace player::avm1::number_text {

namespace {

// value * 10^exponent by repeated squaring, the way Flash does it, so that the last digit comes
// out the same as in Flash (a pow() call rounds differently).
double decimalShift(double value, int exponent)
{
    double base = 10.0;
    if (exponent > 0) {
        while (exponent > 0) {
            if (exponent & 1)
                value *= base;
            exponent >>= 1;
            base *= base;
        }
    } else {
        unsigned int magnitude = exponent == std::numeric_limits<int>::min() ? 0x80000000u : unsigned(-exponent);
        while (magnitude > 0) {
            if (magnitude & 1)
                value /= base;
            magnitude >>= 1;
            base *= base;
        }
    }
    return value;
}

bool isBlank(QChar c)
{
    ushort u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == '\f' || u == '\v';
}

} // namespace

int wholeNumberText(double number, WholeNumberBuffer& buffer)
{
    // NaN fails the range test; a fraction does not survive the trip through an int. Zero of
    // either sign is "0".
    if (!(number >= -2147483648.0 && number <= 2147483647.0))
        return 0;
    const auto whole = int32_t(number);
    if (double(whole) != number)
        return 0;
    // Two digits at a time from the right, read from a table of the hundred pairs: half the
    // divisions of one digit at a time.
    static constexpr char pairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                    "8081828384858687888990919293949596979899";
    uint32_t magnitude = whole < 0 ? 0u - uint32_t(whole) : uint32_t(whole);
    char16_t digits[10];
    int first = 10;
    while (magnitude >= 100) {
        const uint32_t pair = (magnitude % 100) * 2;
        magnitude /= 100;
        digits[--first] = char16_t(pairs[pair + 1]);
        digits[--first] = char16_t(pairs[pair]);
    }
    if (magnitude >= 10) {
        digits[--first] = char16_t(pairs[magnitude * 2 + 1]);
        digits[--first] = char16_t(pairs[magnitude * 2]);
    } else {
        digits[--first] = char16_t(u'0' + magnitude);
    }
    int length = 0;
    if (whole < 0)
        buffer[length++] = u'-';
    while (first < 10)
        buffer[length++] = digits[first++];
    return length;
}

QString toText(double number)
{
    if (std::isnan(number))
        return QStringLiteral("NaN");
    if (std::isinf(number))
        return number > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (number == 0)
        return QStringLiteral("0");
    if (number >= -2147483648.0 && number <= 2147483647.0 && std::floor(number) == number)
        return QString::number(int32_t(number));

    // Flash moves the number into [1, 10), takes digits by repeated multiplication by ten and
    // rounds on the next digit, with a few known slips on carries (9.99...e15 loses its
    // leading digit); the code below follows the same steps so that it gives the same text.
    std::string buffer;
    bool negative = number < 0;
    if (negative) {
        number = -number;
        buffer.push_back('-');
    }
    uint64_t bits;
    std::memcpy(&bits, &number, sizeof bits);
    int binaryExponent = int((bits >> 52) & 0x7ff) - 1023;
    if (binaryExponent == -1023) {
        double scaled = number * 1.801439850948198e16;
        std::memcpy(&bits, &scaled, sizeof bits);
        binaryExponent = int((bits >> 52) & 0x7ff) - 1023 - 54;
    }
    int exponent = int(std::round(binaryExponent * 0.301029995663981));
    double mantissa = decimalShift(number, -exponent);
    if (int(mantissa) == 0) {
        --exponent;
        mantissa = decimalShift(number, -exponent);
    }
    if (int(mantissa) >= 10) {
        ++exponent;
        mantissa = decimalShift(number, -exponent);
    }
    auto nextDigit = [&mantissa]() {
        int digit = int(mantissa);
        if (digit < 0)
            digit = 0;
        if (digit > 9)
            digit = 9;
        mantissa = (mantissa - digit) * 10.0;
        return char('0' + digit);
    };

    const int significantDigits = 15;
    if (exponent >= 15) {
        buffer.push_back(nextDigit());
        buffer.push_back('.');
        for (int i = 0; i < significantDigits - 1; ++i)
            buffer.push_back(nextDigit());
    } else if (exponent >= 0) {
        buffer.push_back('0');
        for (int i = 0; i <= exponent; ++i)
            buffer.push_back(nextDigit());
        buffer.push_back('.');
        for (int i = 0; i < significantDigits - exponent - 1; ++i)
            buffer.push_back(nextDigit());
        exponent = 0;
    } else if (exponent >= -5) {
        buffer.append("00.");
        buffer.append(size_t(-exponent - 1), '0');
        for (int i = 0; i < significantDigits; ++i)
            buffer.push_back(nextDigit());
        exponent = 0;
    } else {
        buffer.push_back('0');
        char first = nextDigit();
        if (first != '0')
            buffer.push_back(first);
        buffer.push_back('.');
        for (int i = 0; i < significantDigits - 1; ++i)
            buffer.push_back(nextDigit());
    }

    if (nextDigit() >= '5') {
        for (auto it = buffer.rbegin(); it != buffer.rend(); ++it) {
            if (*it == '9') {
                *it = '0';
            } else if (*it >= '0') {
                ++*it;
                break;
            }
        }
    }
    while (!buffer.empty() && buffer.back() == '0')
        buffer.pop_back();
    if (!buffer.empty() && buffer.back() == '.')
        buffer.pop_back();

    size_t start = 0;
    if (exponent != 0) {
        size_t firstNonZero = buffer.find_first_not_of('0');
        if (firstNonZero == std::string::npos)
            firstNonZero = buffer.size();
        buffer.erase(0, firstNonZero);
        if (buffer.empty()) {
            buffer.push_back('1');
            ++exponent;
        } else {
            size_t lastNonZero = buffer.find_last_not_of('0');
            if (lastNonZero == 0 || lastNonZero == std::string::npos) {
                exponent += int(buffer.size()) - 1;
                buffer.resize(1);
            }
        }
        buffer.push_back('e');
        buffer.push_back(exponent < 0 ? '-' : '+');
        buffer.append(std::to_string(std::abs(exponent)));
    }
    size_t signLength = negative ? 1 : 0;
    if (buffer.size() > signLength + 1 && buffer[signLength] == '0' && buffer[signLength + 1] != '.') {
        if (signLength > 0)
            buffer[signLength] = buffer[signLength - 1];
        start = 1;
    } else if (buffer.size() == signLength + 1 && buffer[signLength] == '0') {
        if (signLength > 0)
            buffer[signLength] = buffer[signLength - 1];
        start = 1;
    }
    return QString::fromLatin1(buffer.c_str() + start);
}

namespace {

// The decimal number at the start of text (after blanks): its value, or NaN without digits.
// With strict, anything after the number makes it NaN.
double parseDecimal(const QString& text, bool strict)
{
    int length = int(text.size());
    int position = 0;
    while (position < length && isBlank(text[position]))
        ++position;
    bool negative = false;
    if (position < length && (text[position] == u'-' || text[position] == u'+')) {
        negative = text[position] == u'-';
        ++position;
    }
    int digitsStart = position;
    while (position < length && text[position].isDigit() && text[position].unicode() < 128)
        ++position;
    int exponent = position - digitsStart - 1;
    if (position < length && text[position] == u'.') {
        ++position;
        while (position < length && text[position].unicode() >= '0' && text[position].unicode() <= '9')
            ++position;
    }
    if (position == digitsStart)
        return std::numeric_limits<double>::quiet_NaN();
    if (position == digitsStart + 1 && text[digitsStart] == u'.')
        return std::numeric_limits<double>::quiet_NaN();
    int mantissaEnd = position;
    if (position < length && (text[position] == u'e' || text[position] == u'E')) {
        ++position;
        bool exponentNegative = false;
        if (position < length && (text[position] == u'-' || text[position] == u'+')) {
            exponentNegative = text[position] == u'-';
            ++position;
        }
        int32_t written = 0;
        while (position < length && text[position].unicode() >= '0' && text[position].unicode() <= '9') {
            written = int32_t(uint32_t(written) * 10u + uint32_t(text[position].unicode() - '0'));
            ++position;
        }
        exponent += exponentNegative ? -written : written;
    }
    if (strict && position != length) {
        // Trailing blanks are not allowed either: Number("1 ") is NaN in Flash.
        return std::numeric_limits<double>::quiet_NaN();
    }
    double result = 0;
    for (int i = digitsStart; i < mantissaEnd; ++i) {
        ushort c = text[i].unicode();
        if (c >= '0' && c <= '9') {
            result += decimalShift(double(c - '0'), exponent);
            --exponent;
        }
    }
    return negative ? -result : result;
}

} // namespace

double fromText(const QString& text, int swfVersion)
{
    if (swfVersion >= 6) {
        QStringView view(text);
        bool signedText = !view.isEmpty() && (view[0] == u'-' || view[0] == u'+');
        QStringView unsignedView = signedText ? view.mid(1) : view;
        if (unsignedView.size() >= 2 && unsignedView[0] == u'0' && (unsignedView[1] == u'x' || unsignedView[1] == u'X')) {
            // Flash does not skip a sign before "0x", so "-0x10" is NaN, but it reads one after
            // it: "0x-10" is -16. The digits wrap to 32 bits.
            if (signedText)
                return std::numeric_limits<double>::quiet_NaN();
            QStringView digits = view.mid(2);
            const bool negativeDigits = !digits.isEmpty() && digits[0] == u'-';
            if (!digits.isEmpty() && (digits[0] == u'-' || digits[0] == u'+'))
                digits = digits.mid(1);
            if (digits.isEmpty())
                return std::numeric_limits<double>::quiet_NaN();
            uint32_t result = 0;
            for (QChar c : digits) {
                int digit = c.unicode() < 128 ? QString("0123456789abcdef").indexOf(c.toLower()) : -1;
                if (digit < 0)
                    return std::numeric_limits<double>::quiet_NaN();
                result = result * 16u + uint32_t(digit);
            }
            return negativeDigits ? -double(int32_t(result)) : double(int32_t(result));
        }
        if (unsignedView.size() >= 2 && unsignedView[0] == u'0') {
            bool octal = true;
            for (QChar c : unsignedView)
                octal = octal && c.unicode() >= '0' && c.unicode() <= '7';
            if (octal) {
                uint32_t result = 0;
                for (QChar c : unsignedView)
                    result = result * 8u + uint32_t(c.unicode() - '0');
                int32_t value = int32_t(result);
                return double(view[0] == u'-' ? -value : value);
            }
        }
    }
    bool strict = swfVersion >= 5;
    double result = parseDecimal(text, strict);
    if (!strict && std::isnan(result))
        return 0;
    return result;
}

double parseFloatPrefix(const QString& text)
{
    return parseDecimal(text, false);
}

QString toTextInRadix(double number, int radix)
{
    if (radix == 10 || radix < 2 || radix > 36)
        return toText(number);
    // Flash converts to a 32-bit integer first; negative numbers keep their sign. NaN becomes
    // the smallest integer, whose negation overflows: its digits then come out of negative
    // remainders, as the characters just below '0'.
    if (std::isnan(number)) {
        int32_t value = std::numeric_limits<int32_t>::min();
        QString digits;
        while (value != 0) {
            digits.prepend(QChar(char16_t(u'0' + value % radix)));
            value /= radix;
        }
        return QLatin1Char('-') + digits;
    }
    int32_t value = toInt32(number);
    if (value == 0)
        return QStringLiteral("0");
    bool negative = value < 0;
    uint32_t magnitude = negative ? uint32_t(0) - uint32_t(value) : uint32_t(value);
    QString digits;
    while (magnitude > 0) {
        digits.prepend(QChar("0123456789abcdefghijklmnopqrstuvwxyz"[magnitude % uint32_t(radix)]));
        magnitude /= uint32_t(radix);
    }
    if (negative)
        digits.prepend(u'-');
    return digits;
}

int32_t toInt32(double number)
{
    return int32_t(toUint32(number));
}

uint32_t toUint32(double number)
{
    if (!std::isfinite(number))
        return 0;
    double truncated = std::trunc(number);
    double wrapped = std::fmod(truncated, 4294967296.0);
    if (wrapped < 0)
        wrapped += 4294967296.0;
    return uint32_t(wrapped);
}

int32_t toTruncatedInt32(double number)
{
    if (std::isnan(number) || number >= 2147483648.0 || number < -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return int32_t(std::trunc(number));
}

} // namespace player::avm1::number_text
