// The committed fingerprints of what each language variant of the catalogue
// serves (fingerprints.txt), and the comparison that both the native and the
// Windows tests make against them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quorvel::test {

struct Fingerprint {
    std::uint16_t variant;
    unsigned codePage;   // the variant's ANSI code page
    std::string sha256;  // over every text with its NUL, in ID order
    // Each ID with the first 8 hex digits of its text's own SHA-256.
    std::vector<std::pair<unsigned, std::string>> textDigests;
};

// Every variant's fingerprint, as committed.
const std::vector<Fingerprint>& CommittedFingerprints();

// Fetches the text of every fingerprinted ID through `serve` and compares:
// empty when all agree, otherwise the variant and each ID whose text changed.
std::string FingerprintMismatch(const Fingerprint& fingerprint, const std::function<std::string(unsigned)>& serve);

// Lower-case hexadecimal SHA-256 of `bytes`.
std::string Sha256Hex(const std::string& bytes);

}  // namespace quorvel::test
