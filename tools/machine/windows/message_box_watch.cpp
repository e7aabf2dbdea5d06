#include "tools/machine/windows/message_box_watch.h"

#include <windows.h>

namespace quorvel::machine {

namespace {

constexpr int kTextControlId = 0xFFFF;  // the message box's static text
constexpr int kIconControlId = 0x440;   // kept by Wine even with MB_OK
constexpr DWORD kPollMs = 20;
constexpr DWORD kWaitMs = 15000;

DWORD WINAPI RunCall(void* call)
{
    (*static_cast<const std::function<void()>*>(call))();
    return 0;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found)
{
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectButton(HWND child, LPARAM ids)
{
    char className[32] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Button") == 0 && IsWindowVisible(child))
        reinterpret_cast<std::vector<int>*>(ids)->push_back(GetDlgCtrlID(child));
    return TRUE;
}

std::string WindowText(HWND window)
{
    if (!window)
        return {};
    const int length = GetWindowTextLengthA(window);
    std::string text(length + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(copied);
    return text;
}

struct ProcessDialog {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindProcessDialog(HWND window, LPARAM search)
{
    auto* wanted = reinterpret_cast<ProcessDialog*>(search);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId != wanted->processId || FindDialog(window, reinterpret_cast<LPARAM>(&wanted->found));
}

void Dismiss(HWND dialog)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

void Read(HWND dialog, ObservedBox* box)
{
    box->shown = true;
    box->caption = WindowText(dialog);
    box->text = WindowText(GetDlgItem(dialog, kTextControlId));
    box->hasOwner = GetWindow(dialog, GW_OWNER) != nullptr;
    const HWND icon = GetDlgItem(dialog, kIconControlId);
    box->hasIcon = icon && SendMessageA(icon, STM_GETICON, 0, 0) != 0;
    EnumChildWindows(dialog, CollectButton, reinterpret_cast<LPARAM>(&box->buttonIds));
}

}  // namespace

ObservedBox WatchMessageBox(const std::function<void()>& showBox)
{
    ObservedBox box;
    DWORD threadId = 0;
    const HANDLE thread = CreateThread(nullptr, 0, RunCall, const_cast<std::function<void()>*>(&showBox), 0, &threadId);
    if (!thread)
        return box;

    HWND dialog = nullptr;
    for (DWORD waited = 0; !dialog && waited < kWaitMs; waited += kPollMs) {
        if (WaitForSingleObject(thread, kPollMs) == WAIT_OBJECT_0)
            break;
        EnumThreadWindows(threadId, FindDialog, reinterpret_cast<LPARAM>(&dialog));
    }
    if (dialog) {
        Read(dialog, &box);
        box.returnedBeforeDismiss = WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
        Dismiss(dialog);
    }
    box.returnedAfterDismiss = WaitForSingleObject(thread, kWaitMs) == WAIT_OBJECT_0;
    if (!box.returnedAfterDismiss)
        TerminateThread(thread, 1);
    CloseHandle(thread);
    return box;
}

std::function<void(unsigned long processId)> DismissingBoxes(std::vector<ObservedBox>* boxes)
{
    return [boxes, dismissed = HWND{}](unsigned long processId) mutable {
        // The box stays until its thread has handled the click.
        if (dismissed && IsWindow(dismissed))
            return;
        ProcessDialog search = {processId, nullptr};
        EnumWindows(FindProcessDialog, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            return;
        boxes->emplace_back();
        Read(search.found, &boxes->back());
        Dismiss(search.found);
        dismissed = search.found;
    };
}

}  // namespace quorvel::machine
