// Which release of 32-bit Windows the module runs on.
#pragma once

#include <cstdint>

#include "text/status.h"

namespace quorvel {

using WindowsReleaseCode = std::int32_t;

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
// every call. Returns kUnknownRelease when nothing matches. When memory for
// the NT product name cannot be had, the Windows key's answer is returned and
// `status` (when given) is kNoMemory: the NT family may have gone unseen.
WindowsReleaseCode ClassifyWindowsRelease(Status* status = nullptr);

}  // namespace quorvel
