// What the stand-in's services share. Internal to platform/standin.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace quorvel::standin::detail {

// Lower-case ASCII, for the registry's case-insensitive names.
std::string Folded(const std::string& name);

struct RegistryKey {
    std::map<std::string, std::string> values;        // folded name -> bytes
    std::map<std::string, std::string> pendingChange;  // applied after a size query
};

struct SystemState {
    std::mutex lock;
    std::map<std::string, RegistryKey> keys;  // folded path -> key
    std::uint32_t platformId = 2;
    std::uint32_t majorVersion = 5;
    bool versionFails = false;
    std::string everyoneName = "Everyone";
    bool nameLengthCountsNul = false;
    bool advapiMissing = false;
    bool convertMissing = false;
    bool conversionFails = false;
    bool lookupFails = false;
};

SystemState& System();

void ResetResources();
void ResetRegistry();
void ResetHeap();

}  // namespace quorvel::standin::detail
