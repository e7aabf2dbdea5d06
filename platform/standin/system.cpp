// The stand-in's version record, Advapi32.dll with its SID and account
// services, message boxes and process error mode.
#include <atomic>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/standin/control.h"
#include "platform/standin/state.h"

namespace quorvel::platform {

struct LibraryObject {};
struct SidObject {
    char text[16];
};

}  // namespace quorvel::platform

namespace quorvel::standin {

using detail::System;

namespace {

constexpr unsigned kFailCriticalErrors = 0x0001;
constexpr unsigned kNoOpenFileErrorBox = 0x8000;

std::atomic<std::size_t> g_liveSids{0};
std::atomic<std::size_t> g_loadedLibraries{0};
std::atomic<std::size_t> g_convertCalls{0};
std::atomic<unsigned> g_errorMode{0};

std::mutex g_boxLock;
std::vector<ShownBox> g_boxes;

// The address handed out for ConvertStringSidToSidA: the stand-in's own.
bool ConvertStringSidToSid(const char* sidText, platform::SidHandle* sid)
{
    ++g_convertCalls;
    {
        std::lock_guard<std::mutex> guard(System().lock);
        if (System().conversionFails)
            return false;
    }
    platform::SidObject* converted = new platform::SidObject{};
    std::strncpy(converted->text, sidText, sizeof converted->text - 1);
    *sid = converted;
    ++g_liveSids;
    return true;
}

template <typename T>
void Set(T detail::SystemState::*field, T value)
{
    std::lock_guard<std::mutex> guard(System().lock);
    System().*field = value;
}

}  // namespace

void SetVersionRecord(std::uint32_t platformId, std::uint32_t majorVersion)
{
    std::lock_guard<std::mutex> guard(System().lock);
    System().platformId = platformId;
    System().majorVersion = majorVersion;
    System().versionFails = false;
}

void FailVersionQuery() { Set(&detail::SystemState::versionFails, true); }
void SetEveryoneName(const std::string& name) { Set(&detail::SystemState::everyoneName, name); }
void SetNameLengthCountsNul(bool countsNul) { Set(&detail::SystemState::nameLengthCountsNul, countsNul); }
void SetAdvapiMissing(bool missing) { Set(&detail::SystemState::advapiMissing, missing); }
void SetConvertStringSidMissing(bool missing) { Set(&detail::SystemState::convertMissing, missing); }
void FailSidConversion(bool fail) { Set(&detail::SystemState::conversionFails, fail); }
void FailAccountLookup(bool fail) { Set(&detail::SystemState::lookupFails, fail); }
std::size_t LiveSidCount() { return g_liveSids; }
std::size_t LoadedLibraryCount() { return g_loadedLibraries; }
std::size_t ConvertCallCount() { return g_convertCalls; }
unsigned ErrorMode() { return g_errorMode; }

std::vector<ShownBox> TakeShownBoxes()
{
    std::lock_guard<std::mutex> guard(g_boxLock);
    return std::exchange(g_boxes, {});
}

void Reset()
{
    {
        std::lock_guard<std::mutex> guard(System().lock);
        System().platformId = 2;
        System().majorVersion = 5;
        System().versionFails = false;
        System().everyoneName = "Everyone";
        System().nameLengthCountsNul = false;
        System().advapiMissing = false;
        System().convertMissing = false;
        System().conversionFails = false;
        System().lookupFails = false;
    }
    detail::ResetRegistry();
    detail::ResetResources();
    detail::ResetHeap();
    g_convertCalls = 0;
    TakeShownBoxes();
}

}  // namespace quorvel::standin

namespace quorvel::platform {

using standin::detail::System;

bool GetVersionRecord(VersionRecord* record)
{
    // A failed query leaves the record undefined: the stand-in leaves the
    // configured values in it, so that a caller that ignores the failure shows.
    std::lock_guard<std::mutex> guard(System().lock);
    record->platformId = System().platformId;
    record->majorVersion = System().majorVersion;
    return !System().versionFails;
}

LibraryHandle LoadSystemLibrary(const char* name)
{
    {
        std::lock_guard<std::mutex> guard(System().lock);
        if (System().advapiMissing || standin::detail::Folded(name) != "advapi32.dll")
            return nullptr;
    }
    ++standin::g_loadedLibraries;
    return new LibraryObject{};
}

ProcAddress GetProcedure(LibraryHandle /*library*/, const char* name)
{
    std::lock_guard<std::mutex> guard(System().lock);
    if (System().convertMissing || std::strcmp(name, "ConvertStringSidToSidA") != 0)
        return nullptr;
    return reinterpret_cast<ProcAddress>(&standin::ConvertStringSidToSid);
}

void FreeSystemLibrary(LibraryHandle library)
{
    delete library;
    --standin::g_loadedLibraries;
}

bool ConvertStringSid(ProcAddress convertStringSidToSid, const char* sidText, SidHandle* sid)
{
    *sid = nullptr;
    const auto convert = reinterpret_cast<bool (*)(const char*, SidHandle*)>(convertStringSidToSid);
    return convert(sidText, sid);
}

void FreeConvertedSid(SidHandle sid)
{
    delete sid;
    --standin::g_liveSids;
}

bool LookupAccountNameOfSid(SidHandle sid, char* name, std::uint32_t* nameSize, char* domain,
                            std::uint32_t* domainSize)
{
    std::lock_guard<std::mutex> guard(System().lock);
    const std::string& account = System().everyoneName;
    const std::string domainName = "";
    if (System().lookupFails || std::strcmp(sid->text, "S-1-1-0") != 0)
        return false;
    if (account.size() + 1 > *nameSize || domainName.size() + 1 > *domainSize) {
        *nameSize = static_cast<std::uint32_t>(account.size() + 1);  // ERROR_INSUFFICIENT_BUFFER
        return false;
    }
    std::memcpy(name, account.c_str(), account.size() + 1);
    std::memcpy(domain, domainName.c_str(), domainName.size() + 1);
    *nameSize = static_cast<std::uint32_t>(account.size() + (System().nameLengthCountsNul ? 1 : 0));
    *domainSize = static_cast<std::uint32_t>(domainName.size());
    return true;
}

void ShowOkMessageBox(const char* text, const char* caption)
{
    std::lock_guard<std::mutex> guard(standin::g_boxLock);
    standin::g_boxes.push_back({text, caption ? caption : "", caption == nullptr});
}

void AddQuietErrorModeFlags() { standin::g_errorMode |= standin::kFailCriticalErrors | standin::kNoOpenFileErrorBox; }

}  // namespace quorvel::platform
