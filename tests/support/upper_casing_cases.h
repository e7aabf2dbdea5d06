// Upper-casing through the code page, character by character: one table for
// the stand-in's code pages (native tests) and the system's (Windows tests,
// each run taking the rows of its ANSI code page). Trail bytes are never
// changed on their own, and a character whose capital the code page lacks
// stays as it is.
#pragma once

#include <string>

namespace quorvel::test {

struct UpperCasingCase {
    unsigned codePage;
    std::string text;
    std::string expected;
    const char* onWindows = nullptr;  // where the system answers otherwise
};

inline const UpperCasingCase kUpperCasingCases[] = {
    {1252, "Microsoft Windows 98 [b]", "MICROSOFT WINDOWS 98 [B]"},
    {1252, "\xe4\xf6\xfc", "\xc4\xd6\xdc"},      // äöü
    {1252, "\xff", "\x9f"},                      // ÿ to Ÿ
    {1252, "\xdf\xb5", "\xdf\xb5"},              // ß and µ have no upper case here
    {1252, "\x80 windows \xe9" "dition", "\x80 WINDOWS \xc9" "DITION"},  // the euro sign, 0x80
    {932, "\x82\x81\x82\x82", "\x82\x60\x82\x61"},  // full-width a, b
    {932, "\x83\xbf", "\x83\x9f"},               // Greek alpha
    {932, "\x83\x61\x83\x63", "\x83\x61\x83\x63"},  // 'a' and 'c' as trail bytes
    {932, "a\xb1" "b", "A\xb1" "B"},
    // Full-width "micro" and Cyrillic "ap" before the name: the capitals'
    // trail bytes are ASCII ("lhbqn@P"), and stay as they are.
    {932, "\x82\x8d\x82\x89\x82\x83\x82\x92\x82\x8f\x84\x70\x84\x81 windows xp",
     "\x82\x6c\x82\x68\x82\x62\x82\x71\x82\x6e\x84\x40\x84\x50 WINDOWS XP"},
    {936, "\xa3\xe1" "a", "\xa3\xc1" "A"},
    {936, "\xb0\xa1" "a", "\xb0\xa1" "A"},
    {949, "\xa3\xe1", "\xa3\xc1"},
    {949, "\x81\x61" "a", "\x81\x61" "A"},            // 'a' as a trail byte
    // Full-width "micro" and Greek alpha before the name.
    {949, "\xa3\xed\xa3\xe9\xa3\xe3\xa3\xf2\xa3\xef\xa5\xe1 windows xp",
     "\xa3\xcd\xa3\xc9\xa3\xc3\xa3\xd2\xa3\xcf\xa5\xc1 WINDOWS XP"},
    // D with stroke, whose capital the code page lacks; a byte pair the code
    // page does not define, which the system maps to one byte ("?"); and the
    // full-width letter after each.
    {949, "\xa9\xa2\xa3\xe1", "\xa9\xa2\xa3\xc1"},
    {949, "\x81\x40\xa3\xe1" "a", "\x81\x40\xa3\xc1" "A"},
    {950, "\xa2\xe9" "a\xa4\x61", "\xa2\xcf" "A\xa4\x61"},
    {932, "ab\x82", "AB\x82"},                          // a lead byte as the last byte
    // The system converts a lone lead byte after another character to "?".
    {936, "\xa3\xe1\x81", "\xa3\xc1\x81", "\xa3\xc1?"},
    // Stretches of non-ASCII characters are mapped together: longer than
    // one call's stretch, mixed widths, and one character without an
    // upper-case form in the code page among others that have one.
    {1252, std::string(100, '\xe9') + "x", std::string(100, '\xc9') + "X"},
    {932, "\x82\x81\xb1\x83\xbf", "\x82\x60\xb1\x83\x9f"},
    {1252, "\xe4\xb5\xf6", "\xc4\xb5\xd6"},
};

}  // namespace quorvel::test
