// Outside Windows nothing loads the module as a library: a static object
// stands in for the attach and detach notifications, and first hands the
// stand-in the string tables that the DLL carries as resources.
#include <vector>

#include "catalog/catalog_table.h"
#include "module/lifecycle.h"
#include "platform/standin/control.h"

namespace {

std::vector<quorvel::standin::StringResource> CatalogResources()
{
    std::vector<quorvel::standin::StringResource> resources;
    resources.reserve(quorvel::catalog::kEntryCount);
    for (std::size_t i = 0; i < quorvel::catalog::kEntryCount; ++i) {
        const quorvel::catalog::Entry& entry = quorvel::catalog::kEntries[i];
        resources.push_back({entry.language, entry.id, entry.text});
    }
    return resources;
}

struct ModuleEntry {
    ModuleEntry()
    {
        quorvel::standin::SetStringResources(CatalogResources());
        quorvel::OnProcessAttach(nullptr);
    }
    ~ModuleEntry() { quorvel::OnProcessDetach(); }
};

const ModuleEntry g_moduleEntry;

}  // namespace
