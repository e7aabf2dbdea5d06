#include "tests/support/windows/child_process.h"

#include <windows.h>

namespace quorvel::test {

std::string OwnDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string full(path);
    return full.substr(0, full.find_last_of("\\/") + 1);
}

namespace {

constexpr unsigned long kPollMs = 20;

// Appends what the pipe holds now, without waiting for more.
void DrainPipe(HANDLE readEnd, std::string* output)
{
    char chunk[512];
    DWORD available = 0;
    DWORD read = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available &&
           ReadFile(readEnd, chunk, sizeof chunk, &read, nullptr) && read)
        output->append(chunk, read);
}

}  // namespace

ChildResult RunSibling(const std::string& program, const std::string& arguments, const ChildPoll& poll,
                       unsigned long timeLimitMs)
{
    ChildResult result;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return result;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + OwnDirectory() + program + "\" " + arguments;
    const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    CloseHandle(writeEnd);
    if (started) {
        // Read until the child exits, not until the pipe ends: a process the
        // child started (Wine's explorer.exe, when the child is the first to
        // show a window) may hold the pipe's write end for a long time.
        bool exited = false;
        for (unsigned long waited = 0; !exited && waited < timeLimitMs; waited += kPollMs) {
            exited = WaitForSingleObject(process.hProcess, kPollMs) == WAIT_OBJECT_0;
            DrainPipe(readEnd, &result.output);
            if (!exited && poll)
                poll(process.dwProcessId);
        }
        if (exited)
            GetExitCodeProcess(process.hProcess, &result.exitCode);
        else
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(readEnd);
    return result;
}

}  // namespace quorvel::test
