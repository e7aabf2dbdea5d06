// Figures of what each string export of Quorvel.dll costs per call under
// Wine, beside its floor: the bare Win32 calls the export is required to make
// for the same request on the same system, made directly with no work of the
// module's around them. Export and floor are timed in alternating batches
// (each round, the other one first) and the median of each is reported, with
// the median of the per-round ratios.
//
// Counting the module's own calls: for one call of each export the DLL's
// import table is pointed at counting wrappers, which tells its heap
// allocations and its calls of each Win32 service (the floor's counts are
// known: they are written below).
//
// Output, one tab-separated line per figure (tools/bench reads it):
//   row  NAME  EXPORT_NS  FLOOR_NS  RATIO  COUNTS...
//        (medians of the batches; RATIO the median of the rounds' ratios)
//   unit NAME  NS          (the cost of one call of a helper service)
//
//   quorvel_windows_bench [--rounds N] [--batch N]
#include <windows.h>
#include <x86intrin.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/machine.h"
#include "tests/support/windows/quorvel_module.h"
#include "tools/machine/windows/scoped_value.h"

namespace quorvel::test {
namespace {

// ---- Counting the module's calls through its import table ---------------------------

struct Counts {
    long heapAlloc = 0, heapFree = 0, isDbcsLeadByte = 0, lcMapString = 0, loadString = 0, regOpen = 0,
         regQuery = 0, regClose = 0, getVersion = 0, loadLibrary = 0, accountCalls = 0, otherCalls = 0;
    // Time-stamp counter ticks spent inside the calls: the heap, the code
    // page helpers, and every other service.
    unsigned long long heapTicks = 0, helperTicks = 0, serviceTicks = 0;
    long Calls() const
    {
        return heapAlloc + heapFree + isDbcsLeadByte + lcMapString + loadString + regOpen + regQuery + regClose +
               getVersion + loadLibrary + accountCalls + otherCalls;
    }
};
Counts g_counts;

// Times one forwarded call with the time-stamp counter (a few nanoseconds,
// where the performance counter costs hundreds under Wine).
template <typename Call>
auto Timed(unsigned long long Counts::*ticks, Call call)
{
    const unsigned long long start = __rdtsc();
    auto result = call();
    g_counts.*ticks += __rdtsc() - start;
    return result;
}

decltype(&::HeapAlloc) g_heapAlloc;
decltype(&::HeapFree) g_heapFree;
decltype(&::IsDBCSLeadByte) g_isDbcsLeadByte;
decltype(&::LCMapStringA) g_lcMapString;
decltype(&::LoadStringA) g_loadString;
decltype(&::RegOpenKeyExA) g_regOpen;
decltype(&::RegQueryValueExA) g_regQuery;
decltype(&::RegCloseKey) g_regClose;
decltype(&::GetVersionExA) g_getVersion;
decltype(&::LoadLibraryA) g_loadLibrary;
decltype(&::GetProcAddress) g_getProcAddress;
decltype(&::FreeLibrary) g_freeLibrary;
decltype(&::LookupAccountSidA) g_lookupAccountSid;
decltype(&::LocalFree) g_localFree;
decltype(&::GetProcessHeap) g_getProcessHeap;
using ConvertStringSidToSidProc = BOOL(WINAPI*)(LPCSTR, PSID*);
ConvertStringSidToSidProc g_convertStringSid;

LPVOID WINAPI CountHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size)
{
    ++g_counts.heapAlloc;
    return Timed(&Counts::heapTicks, [&] { return g_heapAlloc(heap, flags, size); });
}
BOOL WINAPI CountHeapFree(HANDLE heap, DWORD flags, LPVOID block)
{
    ++g_counts.heapFree;
    return Timed(&Counts::heapTicks, [&] { return g_heapFree(heap, flags, block); });
}
BOOL WINAPI CountIsDbcsLeadByte(BYTE byte)
{
    ++g_counts.isDbcsLeadByte;
    return Timed(&Counts::helperTicks, [&] { return g_isDbcsLeadByte(byte); });
}
int WINAPI CountLcMapString(LCID locale, DWORD flags, LPCSTR source, int sourceSize, LPSTR target, int targetSize)
{
    ++g_counts.lcMapString;
    return Timed(&Counts::helperTicks, [&] { return g_lcMapString(locale, flags, source, sourceSize, target, targetSize); });
}
int WINAPI CountLoadString(HINSTANCE instance, UINT id, LPSTR buffer, int size)
{
    ++g_counts.loadString;
    return Timed(&Counts::serviceTicks, [&] { return g_loadString(instance, id, buffer, size); });
}
LSTATUS WINAPI CountRegOpen(HKEY root, LPCSTR subkey, DWORD options, REGSAM access, PHKEY key)
{
    ++g_counts.regOpen;
    return Timed(&Counts::serviceTicks, [&] { return g_regOpen(root, subkey, options, access, key); });
}
LSTATUS WINAPI CountRegQuery(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    ++g_counts.regQuery;
    return Timed(&Counts::serviceTicks, [&] { return g_regQuery(key, name, reserved, type, data, size); });
}
LSTATUS WINAPI CountRegClose(HKEY key)
{
    ++g_counts.regClose;
    return Timed(&Counts::serviceTicks, [&] { return g_regClose(key); });
}
BOOL WINAPI CountGetVersion(LPOSVERSIONINFOA info)
{
    ++g_counts.getVersion;
    return Timed(&Counts::serviceTicks, [&] { return g_getVersion(info); });
}
HMODULE WINAPI CountLoadLibrary(LPCSTR name)
{
    ++g_counts.loadLibrary;
    return Timed(&Counts::serviceTicks, [&] { return g_loadLibrary(name); });
}

// The SID and account services (the first reached through GetProcAddress).
BOOL WINAPI CountConvertStringSid(LPCSTR text, PSID* sid)
{
    ++g_counts.accountCalls;
    return Timed(&Counts::serviceTicks, [&] { return g_convertStringSid(text, sid); });
}
FARPROC WINAPI CountGetProcAddress(HMODULE module, LPCSTR name)
{
    ++g_counts.accountCalls;
    const FARPROC found = Timed(&Counts::serviceTicks, [&] { return g_getProcAddress(module, name); });
    if (found && std::strcmp(name, "ConvertStringSidToSidA") == 0) {
        g_convertStringSid = reinterpret_cast<ConvertStringSidToSidProc>(reinterpret_cast<void*>(found));
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&CountConvertStringSid));
    }
    return found;
}
BOOL WINAPI CountFreeLibrary(HMODULE module)
{
    ++g_counts.accountCalls;
    return Timed(&Counts::serviceTicks, [&] { return g_freeLibrary(module); });
}
BOOL WINAPI CountLookupAccountSid(LPCSTR system, PSID sid, LPSTR name, LPDWORD nameSize, LPSTR domain,
                                  LPDWORD domainSize, PSID_NAME_USE use)
{
    ++g_counts.accountCalls;
    return Timed(&Counts::serviceTicks,
                 [&] { return g_lookupAccountSid(system, sid, name, nameSize, domain, domainSize, use); });
}
HLOCAL WINAPI CountLocalFree(HLOCAL block)
{
    ++g_counts.accountCalls;
    return Timed(&Counts::serviceTicks, [&] { return g_localFree(block); });
}
HANDLE WINAPI CountGetProcessHeap()
{
    ++g_counts.otherCalls;
    return Timed(&Counts::heapTicks, [&] { return g_getProcessHeap(); });
}

// The import address table slot through which `module` calls `name`.
void** ImportSlot(HMODULE module, const char* name)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); import->Name;
         ++import) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

// Points the module's import of `name` at `wrapper` while alive, keeping the
// original in `original`.
class Hook {
public:
    template <typename Function>
    Hook(HMODULE module, const char* name, Function wrapper, Function* original) : slot_(ImportSlot(module, name))
    {
        if (!slot_)
            return;
        *original = reinterpret_cast<Function>(*slot_);
        saved_ = *slot_;
        Write(reinterpret_cast<void*>(wrapper));
    }
    ~Hook()
    {
        if (slot_)
            Write(saved_);
    }
    Hook(const Hook&) = delete;
    Hook& operator=(const Hook&) = delete;

private:
    void Write(void* value)
    {
        DWORD protection = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, protection, &protection);
    }

    void** slot_;
    void* saved_ = nullptr;
};

// The timing section of the ticks a time-stamp counter pair itself adds.
double g_timerTicks = 0;

// What one call of the export does beyond its Win32 calls, from `batches` runs
// of `batch` calls with every import of interest counted and timed.
struct Profile {
    Counts perCall;           // counts of one call
    double ownCodeNs = 0;     // the module's code, outside every Win32 call
    double heapNs = 0;        // inside HeapAlloc and HeapFree
    double helperNs = 0;      // inside IsDBCSLeadByte and LCMapStringA
};

double Seconds();
double Median(std::vector<double> values);

Profile ProfileCalls(HMODULE module, const std::function<void()>& call, int batches, int batch)
{
    const Hook hooks[] = {
        {module, "HeapAlloc", &CountHeapAlloc, &g_heapAlloc},
        {module, "HeapFree", &CountHeapFree, &g_heapFree},
        {module, "IsDBCSLeadByte", &CountIsDbcsLeadByte, &g_isDbcsLeadByte},
        {module, "LCMapStringA", &CountLcMapString, &g_lcMapString},
        {module, "LoadStringA", &CountLoadString, &g_loadString},
        {module, "RegOpenKeyExA", &CountRegOpen, &g_regOpen},
        {module, "RegQueryValueExA", &CountRegQuery, &g_regQuery},
        {module, "RegCloseKey", &CountRegClose, &g_regClose},
        {module, "GetVersionExA", &CountGetVersion, &g_getVersion},
        {module, "LoadLibraryA", &CountLoadLibrary, &g_loadLibrary},
        {module, "GetProcAddress", &CountGetProcAddress, &g_getProcAddress},
        {module, "FreeLibrary", &CountFreeLibrary, &g_freeLibrary},
        {module, "LookupAccountSidA", &CountLookupAccountSid, &g_lookupAccountSid},
        {module, "LocalFree", &CountLocalFree, &g_localFree},
        {module, "GetProcessHeap", &CountGetProcessHeap, &g_getProcessHeap},
    };
    Profile profile;
    g_counts = {};
    call();
    profile.perCall = g_counts;

    std::vector<double> own, heap, helper;
    for (int b = 0; b < batches; ++b) {
        g_counts = {};
        const double start = Seconds();
        const unsigned long long ticks = __rdtsc();
        for (int i = 0; i < batch; ++i)
            call();
        const double total = static_cast<double>(__rdtsc() - ticks);
        const double nsPerTick = (Seconds() - start) * 1e9 / total;
        const double inside = static_cast<double>(g_counts.heapTicks + g_counts.helperTicks + g_counts.serviceTicks);
        // Each timed call leaves part of its timing outside the section timed.
        const double outside = total - inside - static_cast<double>(g_counts.Calls()) * g_timerTicks;
        own.push_back(outside * nsPerTick / batch);
        heap.push_back(static_cast<double>(g_counts.heapTicks) * nsPerTick / batch);
        helper.push_back(static_cast<double>(g_counts.helperTicks) * nsPerTick / batch);
    }
    profile.ownCodeNs = Median(own);
    profile.heapNs = Median(heap);
    profile.helperNs = Median(helper);
    return profile;
}

// The ticks a forwarded call spends outside its timed section: a wrapped call
// of nothing, less what its section counted.
void CalibrateTimer()
{
    constexpr int kCalls = 100000;
    g_counts = {};
    const unsigned long long start = __rdtsc();
    for (int i = 0; i < kCalls; ++i)
        Timed(&Counts::serviceTicks, [] {
            asm volatile("" ::: "memory");
            return 0;
        });
    const double total = static_cast<double>(__rdtsc() - start);
    g_timerTicks = (total - static_cast<double>(g_counts.serviceTicks)) / kCalls;
}

// ---- Timing --------------------------------------------------------------------------

double Seconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double NanosecondsPerCall(const std::function<void()>& call, int batch)
{
    const double start = Seconds();
    for (int i = 0; i < batch; ++i)
        call();
    return (Seconds() - start) * 1e9 / batch;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Settings {
    int rounds = 41;
    int batch = 100;
};

// ---- The floors: Win32 calls alone ----------------------------------------------------

// A value read as the module must read it: its size, then, when it is there,
// its bytes.
void ReadValue(HKEY key, const char* name)
{
    static BYTE data[4096];
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size > sizeof data)
        return;
    RegQueryValueExA(key, name, nullptr, &type, data, &size);
}

void ClassificationFloor()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWindowsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        ReadValue(key, "ProductName");
        ReadValue(key, "SubVersionNumber");
        RegCloseKey(key);
    }
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNtKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        OSVERSIONINFOA version = {};
        version.dwOSVersionInfoSize = sizeof version;
        GetVersionExA(&version);
        ReadValue(key, "ProductName");
        RegCloseKey(key);
    }
}

HMODULE g_module;

void LoadCatalogText(unsigned id)
{
    char text[256];
    LoadStringA(g_module, id, text, sizeof text);
}

void AccountNameFloor()
{
    HMODULE advapi = LoadLibraryA("Advapi32.dll");
    const auto convert =
        reinterpret_cast<ConvertStringSidToSidProc>(reinterpret_cast<void*>(GetProcAddress(advapi, "ConvertStringSidToSidA")));
    PSID sid = nullptr;
    convert("S-1-1-0", &sid);
    char name[260];
    char domain[260];
    DWORD nameSize = sizeof name;
    DWORD domainSize = sizeof domain;
    SID_NAME_USE use;
    LookupAccountSidA(nullptr, sid, name, &nameSize, domain, &domainSize, &use);
    LocalFree(sid);
    FreeLibrary(advapi);
}

void DynamicStringFloor(unsigned messageId, unsigned tokenId, const char* valueName)
{
    LoadCatalogText(messageId);
    LoadCatalogText(tokenId);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        ReadValue(key, valueName);
        RegCloseKey(key);
    }
}

// ---- The figures ------------------------------------------------------------------------

char g_buffer[512];

void Row(const Settings& settings, const char* name, const std::function<void()>& exported,
         const std::function<void()>& floor)
{
    for (int i = 0; i < 20; ++i) {
        exported();
        floor();
    }
    std::vector<double> exportTimes, floorTimes, ratios;
    for (int round = 0; round < settings.rounds; ++round) {
        // Alternate which goes first, so that neither always follows the other.
        double e, f;
        if (round % 2) {
            f = NanosecondsPerCall(floor, settings.batch);
            e = NanosecondsPerCall(exported, settings.batch);
        } else {
            e = NanosecondsPerCall(exported, settings.batch);
            f = NanosecondsPerCall(floor, settings.batch);
        }
        exportTimes.push_back(e);
        floorTimes.push_back(f);
        ratios.push_back(e / f);
    }
    const Profile p = ProfileCalls(g_module, exported, settings.rounds, settings.batch);
    const Counts& c = p.perCall;
    std::printf("row\t%s\t%.0f\t%.0f\t%.3f\town=%.0f\theapTime=%.0f\thelperTime=%.0f\theap=%ld/%ld\t"
                "IsDBCSLeadByte=%ld\tLCMapStringA=%ld\tLoadStringA=%ld\tRegOpenKeyExA=%ld\tRegQueryValueExA=%ld\t"
                "RegCloseKey=%ld\tGetVersionExA=%ld\tLoadLibraryA=%ld\taccount=%ld\tGetProcessHeap=%ld\n",
                name, Median(exportTimes), Median(floorTimes), Median(ratios), p.ownCodeNs, p.heapNs,
                p.helperNs, c.heapAlloc, c.heapFree, c.isDbcsLeadByte, c.lcMapString, c.loadString, c.regOpen,
                c.regQuery, c.regClose, c.getVersion, c.loadLibrary, c.accountCalls, c.otherCalls);
    std::fflush(stdout);
}

void Unit(const Settings& settings, const char* name, const std::function<void()>& call)
{
    std::vector<double> times;
    for (int round = 0; round < settings.rounds; ++round)
        times.push_back(NanosecondsPerCall(call, settings.batch * 10));
    std::printf("unit\t%s\t%.1f\n", name, Median(times));
}

}  // namespace
}  // namespace quorvel::test

int main(int argc, char** argv)
{
    using namespace quorvel::test;
    Settings settings;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--rounds") == 0)
            settings.rounds = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--batch") == 0)
            settings.batch = std::atoi(argv[i + 1]);
    }
    const QuorvelFunctions& q = Quorvel();
    g_module = GetModuleHandleA("Quorvel.dll");
    CalibrateTimer();

    // Windows XP as the release probes see it: no product texts under the
    // Windows key, the NT key naming XP.
    const ScopedValue windowsProduct(HKEY_LOCAL_MACHINE, kWindowsKey, "ProductName", std::nullopt);
    const ScopedValue subVersion(HKEY_LOCAL_MACHINE, kWindowsKey, "SubVersionNumber", std::nullopt);
    const ScopedValue ntProduct(HKEY_LOCAL_MACHINE, kNtKey, "ProductName", ScopedValue::Text("Microsoft Windows XP"));
    {
        const ScopedValue provider(HKEY_LOCAL_MACHINE, kUninstallKey, "VorProviderName", std::nullopt);
        Row(settings, "DllGetString (ID 9)", [&] { q.DllGetString(9, g_buffer, sizeof g_buffer); },
            [] { ClassificationFloor(); LoadCatalogText(9); });
        Row(settings, "DllGetString (ID 20001, XP)", [&] { q.DllGetString(20001, g_buffer, sizeof g_buffer); },
            [] { ClassificationFloor(); AccountNameFloor(); });
        Row(settings, "GetStringFromQuorvelDll (ID 9)",
            [&] { q.GetStringFromQuorvelDll(9, g_buffer, sizeof g_buffer); },
            [] { ClassificationFloor(); LoadCatalogText(9); });
        Row(settings, "DllGetDynamicString (9, 1002), value absent",
            [&] { q.DllGetDynamicString(9, g_buffer, sizeof g_buffer, 1002); },
            [] { DynamicStringFloor(9, 1002, "VorProviderName"); });
    }
    {
        // A product name of non-ASCII letters: upper-casing maps them through
        // the code page, one LCMapStringA call for the whole stretch.
        const ScopedValue accented(HKEY_LOCAL_MACHINE, kNtKey, "ProductName",
                                   ScopedValue::Text("Microsoft Windows XP " + std::string(20, '\xe9')));
        Row(settings, "DllGetString (ID 9), NT product name with 20 letters \xc3\xa9",
            [&] { q.DllGetString(9, g_buffer, sizeof g_buffer); }, [] { ClassificationFloor(); LoadCatalogText(9); });
    }
    {
        const ScopedValue provider(HKEY_LOCAL_MACHINE, kUninstallKey, "VorProviderName",
                                   ScopedValue::Text("Acme Communications"));
        Row(settings, "DllGetDynamicString (9, 1002), value present",
            [&] { q.DllGetDynamicString(9, g_buffer, sizeof g_buffer, 1002); },
            [] { DynamicStringFloor(9, 1002, "VorProviderName"); });
    }

    // What the module's own helper calls cost, one call each.
    void* const process = GetProcessHeap();
    Unit(settings, "HeapAlloc+HeapFree (zeroed, 64 bytes)",
         [&] { HeapFree(process, 0, HeapAlloc(process, HEAP_ZERO_MEMORY, 64)); });
    volatile BYTE byte = 'M';
    Unit(settings, "IsDBCSLeadByte", [&] { IsDBCSLeadByte(byte); });
    Unit(settings, "LCMapStringA (one character)", [] {
        char upper[2];
        LCMapStringA(LOCALE_SYSTEM_DEFAULT, LCMAP_UPPERCASE, "\xe9", 1, upper, sizeof upper);
    });
    Unit(settings, "LoadStringA (ID 9)", [] { LoadCatalogText(9); });
    Unit(settings, "RegOpenKeyExA+RegCloseKey", [] {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNtKey, 0, KEY_READ, &key) == ERROR_SUCCESS)
            RegCloseKey(key);
    });
    return 0;
}
