// The registry keys the module reads, under HKEY_LOCAL_MACHINE.
#pragma once

namespace quorvel::machine {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\UninstallVorModem";
constexpr char kWindowsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kNtKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

}  // namespace quorvel::machine
