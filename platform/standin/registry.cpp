// The stand-in's registry: keys and values in memory, read-only to the module.
#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/platform.h"
#include "platform/standin/control.h"
#include "platform/standin/state.h"

namespace quorvel::standin {

namespace {

std::atomic<std::size_t> g_openKeys{0};

}  // namespace

namespace detail {

std::string Folded(const std::string& name)
{
    std::string folded = name;
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

SystemState& System()
{
    static SystemState state;
    return state;
}

void ResetRegistry()
{
    std::lock_guard<std::mutex> guard(System().lock);
    System().keys.clear();
}

}  // namespace detail

using detail::Folded;
using detail::System;

void CreateKey(const std::string& key)
{
    std::lock_guard<std::mutex> guard(System().lock);
    System().keys[Folded(key)];
}

void RemoveKey(const std::string& key)
{
    std::lock_guard<std::mutex> guard(System().lock);
    System().keys.erase(Folded(key));
}

void SetValue(const std::string& key, const std::string& name, const std::string& bytes)
{
    std::lock_guard<std::mutex> guard(System().lock);
    System().keys[Folded(key)].values[Folded(name)] = bytes;
}

void SetStringValue(const std::string& key, const std::string& name, const std::string& text)
{
    SetValue(key, name, text + '\0');
}

void RemoveValue(const std::string& key, const std::string& name)
{
    std::lock_guard<std::mutex> guard(System().lock);
    const auto found = System().keys.find(Folded(key));
    if (found != System().keys.end())
        found->second.values.erase(Folded(name));
}

void ChangeValueAfterSizeQuery(const std::string& key, const std::string& name, const std::string& bytes)
{
    std::lock_guard<std::mutex> guard(System().lock);
    System().keys[Folded(key)].pendingChange[Folded(name)] = bytes;
}

std::size_t OpenKeyCount() { return g_openKeys; }

}  // namespace quorvel::standin

namespace quorvel::platform {

// A key handle names its key by path, so that a key removed while open reads
// as empty, as on Windows.
struct KeyObject {
    std::string path;
};

using standin::detail::Folded;
using standin::detail::RegistryKey;
using standin::detail::System;

namespace {

RegistryKey* FindKey(KeyHandle key)
{
    const auto found = System().keys.find(key->path);
    return found == System().keys.end() ? nullptr : &found->second;
}

}  // namespace

bool OpenLocalMachineKey(const char* subkey, KeyHandle* key)
{
    std::lock_guard<std::mutex> guard(System().lock);
    *key = nullptr;
    const std::string path = Folded(subkey);
    if (System().keys.count(path) == 0)
        return false;
    *key = new KeyObject{path};
    ++standin::g_openKeys;
    return true;
}

bool QueryValueSize(KeyHandle key, const char* valueName, std::uint32_t* size)
{
    std::lock_guard<std::mutex> guard(System().lock);
    *size = 0;
    RegistryKey* found = FindKey(key);
    if (!found)
        return false;
    const std::string name = Folded(valueName);
    const auto value = found->values.find(name);
    if (value == found->values.end())
        return false;
    *size = static_cast<std::uint32_t>(value->second.size());
    const auto change = found->pendingChange.find(name);
    if (change != found->pendingChange.end()) {
        value->second = change->second;
        found->pendingChange.erase(change);
    }
    return true;
}

bool QueryValue(KeyHandle key, const char* valueName, unsigned char* data, std::uint32_t* size)
{
    std::lock_guard<std::mutex> guard(System().lock);
    RegistryKey* found = FindKey(key);
    if (!found)
        return false;
    const auto value = found->values.find(Folded(valueName));
    if (value == found->values.end())
        return false;
    if (value->second.size() > *size) {
        *size = static_cast<std::uint32_t>(value->second.size());  // ERROR_MORE_DATA
        return false;
    }
    std::memcpy(data, value->second.data(), value->second.size());
    *size = static_cast<std::uint32_t>(value->second.size());
    return true;
}

void CloseKey(KeyHandle key)
{
    delete key;
    --standin::g_openKeys;
}

}  // namespace quorvel::platform
