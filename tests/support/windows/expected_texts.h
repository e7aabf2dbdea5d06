// What the catalogue should serve, from the same resource scripts the DLL was
// built from, converted to the system's ANSI code page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::test {

// The variant the resource loader should pick for `language`: exact, then
// primary language with neutral sublanguage; 0 when neither exists.
std::uint16_t VariantFor(std::uint16_t language);

// The text of `id` in `variant`, in the ANSI code page.
std::string VariantText(std::uint16_t variant, unsigned id);

// The texts of `id` across every variant.
std::vector<std::string> AllVariantTexts(unsigned id);

}  // namespace quorvel::test
