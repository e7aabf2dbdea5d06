// Registry values under HKEY_LOCAL_MACHINE set for one test and put back as
// they were afterwards, in the test's private Wine prefix.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "tests/support/registry_keys.h"

namespace quorvel::test {

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

}  // namespace quorvel::test
