// Runs a call that shows a message box, finds the real dialog window, reads
// it, dismisses it with OK and checks that the call then returns; and reads
// and dismisses the boxes of another process.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quorvel::machine {

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

// A poll, called with a process's ID while it runs: reads each box that the
// process shows, appends it to `boxes` and dismisses it with OK.
std::function<void(unsigned long processId)> DismissingBoxes(std::vector<ObservedBox>* boxes);

}  // namespace quorvel::machine
