#include "tools/machine/windows/scoped_value.h"

#include <vector>

namespace quorvel::machine {

namespace {

void Store(HKEY root, const std::string& key, const std::string& name, const std::optional<std::string>& data,
           DWORD type)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return;
    if (data)
        RegSetValueExA(handle, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data->data()),
                       static_cast<DWORD>(data->size()));
    else
        RegDeleteValueA(handle, name.c_str());
    RegCloseKey(handle);
}

}  // namespace

ScopedValue::ScopedValue(HKEY root, std::string key, std::string name, std::optional<std::string> data, DWORD type)
    : root_(root), key_(std::move(key)), name_(std::move(name))
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root_, key_.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS) {
        keyExisted_ = true;
        DWORD size = 0;
        if (RegQueryValueExA(handle, name_.c_str(), nullptr, &previousType_, nullptr, &size) == ERROR_SUCCESS) {
            std::vector<char> bytes(size + 1);
            RegQueryValueExA(handle, name_.c_str(), nullptr, &previousType_, reinterpret_cast<BYTE*>(bytes.data()),
                             &size);
            previous_ = std::string(bytes.data(), size);
        }
        RegCloseKey(handle);
    }
    Store(root_, key_, name_, data, type);
}

ScopedValue::~ScopedValue()
{
    if (!keyExisted_) {
        RegDeleteKeyA(root_, key_.c_str());
        return;
    }
    Store(root_, key_, name_, previous_, previousType_);
}

}  // namespace quorvel::machine
