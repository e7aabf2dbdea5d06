// The committed fingerprints of what each language variant of the catalogue
// serves (fingerprints.txt), and the comparison that both the native and the
// Windows tests make against them.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>

namespace quorvel::test {

// The committed SHA-256 of each text, by variant and ID.
const std::map<std::pair<std::uint16_t, unsigned>, std::string>& CommittedFingerprints();

// Fetches every catalogue and fingerprinted ID of `variant` through `serve`
// and compares: empty when all agree, else a line naming the ID and the
// variant of each text changed or not fingerprinted.
std::string FingerprintMismatch(std::uint16_t variant, const std::function<std::string(unsigned)>& serve);

// Lower-case hexadecimal SHA-256 of `bytes`.
std::string Sha256Hex(const std::string& bytes);

}  // namespace quorvel::test
