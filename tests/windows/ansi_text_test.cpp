// The module's upper-casing over the system's ANSI code page (LC_ALL picks
// it), built into the test program from the module's own sources: the rows of
// the table the native tests hold against the stand-in, for this code page.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/hex.h"
#include "tests/support/upper_casing_cases.h"
#include "text/ansi_text.h"

namespace quorvel::test {
namespace {

TEST(AnsiText, UpperCasingThroughTheCodePage)
{
    int rows = 0;
    for (const UpperCasingCase& c : kUpperCasingCases) {
        if (c.codePage != GetACP())
            continue;
        ++rows;
        std::string text = c.text;
        UpperCaseText(text.data(), text.size());
        EXPECT_EQ(Hex(text), Hex(c.onWindows ? c.onWindows : c.expected)) << Hex(c.text);
    }
    if (rows == 0)
        GTEST_SKIP() << "no rows for code page " << GetACP();
}

}  // namespace
}  // namespace quorvel::test
