#pragma once

// The value of a hexadecimal digit, or -1 for any other character.
constexpr int hexDigitValue(char16_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

constexpr int hexDigitValue(char c)
{
    return hexDigitValue(static_cast<char16_t>(static_cast<unsigned char>(c)));
}
