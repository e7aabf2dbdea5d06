// A registry value set for a while, a call or a test, and put back as it was
// afterwards.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace quorvel::machine {

class ScopedValue {
public:
    // Stores `data` as it stands under `type`, or removes the value when
    // `data` is empty.
    ScopedValue(HKEY root, std::string key, std::string name, std::optional<std::string> data, DWORD type = REG_SZ);
    ~ScopedValue();
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

    // A text stored with its NUL.
    static std::optional<std::string> Text(const std::string& text) { return text + '\0'; }

private:
    HKEY root_;
    std::string key_;
    std::string name_;
    bool keyExisted_ = false;
    std::optional<std::string> previous_;
    DWORD previousType_ = REG_NONE;
};

}  // namespace quorvel::machine
