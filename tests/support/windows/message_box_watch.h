// Runs a call that shows a message box, finds the real dialog window, reads
// it, dismisses it with OK and checks that the call then returns.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quorvel::test {

struct ObservedBox {
    bool shown = false;          // a dialog appeared on the calling thread
    std::string text;            // the message, as the box shows it
    std::string caption;
    bool hasOwner = true;
    bool hasIcon = true;
    std::vector<int> buttonIds;  // visible buttons
    bool returnedAfterDismiss = false;
    bool returnedBeforeDismiss = false;
};

ObservedBox WatchMessageBox(const std::function<void()>& showBox);

struct ProcessRun {
    unsigned long exitCode = ~0ul;     // ~0 when it did not end in time
    std::vector<ObservedBox> boxes;    // every box it showed, in order
};

// Starts `commandLine`, dismisses each box its process shows with OK and
// waits for the process to end.
ProcessRun RunDismissingBoxes(const std::string& commandLine);

}  // namespace quorvel::test
