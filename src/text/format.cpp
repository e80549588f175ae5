#include "text/format.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Widths and precisions above this are cut, so a text cannot ask for a huge string.
constexpr unsigned kMaxFieldSize = 100;

// Reads a run of digits, saturating at kMaxFieldSize.
unsigned readNumber(const char*& p) {
    unsigned value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + unsigned(*p - '0');
        if (value > kMaxFieldSize) value = kMaxFieldSize;
        ++p;
    }
    return value;
}

void skipLengthModifier(const char*& p) {
    if ((p[0] == 'h' && p[1] == 'h') || (p[0] == 'l' && p[1] == 'l'))
        p += 2;
    else if (std::strchr("hljzt", *p) != nullptr && *p != '\0')
        p += 1;
}

// Parses an integer conversion starting after its '%'. On success appends the
// formatted count to `out`, moves `p` past the conversion and returns true.
bool formatIntegerConversion(const char*& p, uint32_t count, std::string& out) {
    const char* q = p;
    std::string flags;
    while (*q != '\0' && std::strchr("-+ #0", *q) != nullptr) {
        if (flags.find(*q) == std::string::npos) flags += *q;
        ++q;
    }
    bool hasWidth = *q >= '0' && *q <= '9';
    unsigned width = readNumber(q);
    bool hasPrecision = *q == '.';
    unsigned precision = 0;
    if (hasPrecision) {
        ++q;
        precision = readNumber(q);
    }
    skipLengthModifier(q);
    char conversion = *q;
    if (conversion == '\0' || std::strchr("diuxXo", conversion) == nullptr) return false;

    bool isSigned = conversion == 'd' || conversion == 'i';
    // '#' only has a meaning for o, x and X.
    if (isSigned || conversion == 'u') {
        size_t hash = flags.find('#');
        if (hash != std::string::npos) flags.erase(hash, 1);
    }
    std::string conversionFormat = "%" + flags;
    if (hasWidth) conversionFormat += std::to_string(width);
    if (hasPrecision) conversionFormat += "." + std::to_string(precision);
    conversionFormat += conversion;

    char buffer[2 * kMaxFieldSize + 32];
    int written = isSigned ? std::snprintf(buffer, sizeof buffer, conversionFormat.c_str(), static_cast<int>(static_cast<int32_t>(count)))
                           : std::snprintf(buffer, sizeof buffer, conversionFormat.c_str(), static_cast<unsigned>(count));
    if (written > 0) out.append(buffer, std::min<size_t>(size_t(written), sizeof buffer - 1));
    p = q + 1;
    return true;
}

}  // namespace

std::string formatWithCount(const char* text, uint32_t count) {
    std::string out;
    bool filled = false;
    for (const char* p = text; *p != '\0';) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        ++p;
        if (*p == '%') {
            out += '%';
            ++p;
        } else if (!filled && formatIntegerConversion(p, count, out)) {
            filled = true;
        } else {
            out += '%';
        }
    }
    return out;
}

std::string formatWithName(const char* pattern, const char* name) {
    std::string out;
    bool filled = false;
    for (const char* p = pattern; *p != '\0';) {
        if (p[0] == '%' && p[1] == '%') {
            out += '%';
            p += 2;
        } else if (!filled && p[0] == '%' && p[1] == 's') {
            out += name;
            filled = true;
            p += 2;
        } else {
            out += *p++;
        }
    }
    return out;
}
