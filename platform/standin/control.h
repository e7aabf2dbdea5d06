// Steering the stand-in for the Windows services: what tests set up and
// observe. The module's own code never includes this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::standin {

// Back to a fresh system: empty registry, English (United States) thread
// language, code page 1252, an NT 5 version record, an Everyone group named
// "Everyone", every service present, no failures, no boxes shown.
void Reset();

// ---- String resources, language and code page ------------------------------------

// One text of the module's string tables, as the resource compiler stores it.
struct StringResource {
    std::uint16_t language;  // the variant's language ID
    std::uint16_t id;
    const char16_t* text;    // UTF-16; the table outlives every load
};
// The string tables the loader serves from; the module's entry sets them at
// attach, and Reset keeps them.
void SetStringResources(std::vector<StringResource> resources);

void SetThreadLanguage(std::uint16_t language);  // the calling thread only
void SetCodePage(unsigned codePage);             // 1252, 932, 936, 949 or 950
unsigned CodePage();
// `text` in the active code page, as the loader converts it: a character that
// the code page lacks becomes "?".
std::string ConvertToCodePage(const std::u16string& text);
// Serves `text` for `id` in every variant instead of the string table's.
void OverrideText(unsigned id, const std::u16string& text);

// ---- Registry (under HKEY_LOCAL_MACHINE; names are case-insensitive) ----------
void CreateKey(const std::string& key);
void RemoveKey(const std::string& key);
// Stores the bytes as they stand (no NUL is added).
void SetValue(const std::string& key, const std::string& name, const std::string& bytes);
// Stores the text with its NUL, as a REG_SZ value.
void SetStringValue(const std::string& key, const std::string& name, const std::string& text);
void RemoveValue(const std::string& key, const std::string& name);
// The next size query of that value is answered as it stands, and then the
// value becomes `bytes` before the read.
void ChangeValueAfterSizeQuery(const std::string& key, const std::string& name, const std::string& bytes);
std::size_t OpenKeyCount();

// ---- Version record ---------------------------------------------------------------
void SetVersionRecord(std::uint32_t platformId, std::uint32_t majorVersion);
// The query fails, though the record it leaves holds the values set above.
void FailVersionQuery();

// ---- Libraries, SIDs and accounts ---------------------------------------------------
void SetEveryoneName(const std::string& name);
// Windows reports the name's length; Wine counts the NUL as well.
void SetNameLengthCountsNul(bool countsNul);
void SetAdvapiMissing(bool missing);
void SetConvertStringSidMissing(bool missing);
void FailSidConversion(bool fail);
void FailAccountLookup(bool fail);
std::size_t LiveSidCount();
std::size_t LoadedLibraryCount();
std::size_t ConvertCallCount();

// ---- Message boxes ------------------------------------------------------------------
struct ShownBox {
    std::string text;
    std::string caption;
    bool captionWasNull;
};
// The boxes shown since the last call, each "dismissed" at once.
std::vector<ShownBox> TakeShownBoxes();

// ---- Heap ---------------------------------------------------------------------------------
// Makes the nth allocation from now on fail (1 is the next); 0 fails none.
void FailAllocation(std::size_t nth);
std::size_t AllocationCount();  // since Reset
std::size_t LiveBlockCount();

// ---- Process ---------------------------------------------------------------------------
unsigned ErrorMode();

}  // namespace quorvel::standin
