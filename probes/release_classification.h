// Which release of 32-bit Windows the module runs on.
#pragma once

#include <cstdint>

#include "text/status.h"

namespace quorvel {

using WindowsReleaseCode = std::int32_t;

// The codes the classification reports; how each release is recognised, and
// whether it is of the NT family, is in the table in release_classification.cpp.
constexpr WindowsReleaseCode kUnknownRelease = 0;
constexpr WindowsReleaseCode kWindows95 = 101;
constexpr WindowsReleaseCode kWindows95B = 102;
constexpr WindowsReleaseCode kWindows95C = 103;
constexpr WindowsReleaseCode kWindows98 = 201;
constexpr WindowsReleaseCode kWindows98A = 202;
constexpr WindowsReleaseCode kWindowsMe = 301;
constexpr WindowsReleaseCode kWindowsNt4 = 1002;
constexpr WindowsReleaseCode kWindows2000 = 5001;
constexpr WindowsReleaseCode kWindowsXp = 6001;

// Reads the product names under the Windows and Windows NT CurrentVersion
// keys (and, where the NT name is missing, the version record) afresh on
// every call. The version record gives only the platform and the major
// version (platform/platform.h): it tells NT 4.0 from NT 5, and nothing
// more, so the product names decide every other release. Returns
// kUnknownRelease when nothing matches. When memory for the NT product name
// cannot be had, the Windows key's answer is returned and `status` (when
// given) is kNoMemory: the NT family may have gone unseen.
WindowsReleaseCode ClassifyWindowsRelease(Status* status = nullptr);

// Whether the release is of the NT family (NT 4.0, 2000, XP); false for
// kUnknownRelease.
bool IsNtFamily(WindowsReleaseCode code);

}  // namespace quorvel
