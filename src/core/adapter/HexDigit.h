#pragma once
// One hexadecimal digit, as the firmware image and the settings files write them.

// The digit's value, or -1 when c is no hexadecimal digit (either case).
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
