#include "requests/catalog_string.h"

#include "catalog/load_catalog_string.h"
#include "requests/everyone_rule.h"
#include "text/buffer_protocol.h"

namespace quorvel {

std::uint32_t GetCatalogString(unsigned id, char* buffer, std::uint32_t bufferSize)
{
    if (const auto accountAnswer = ApplyEveryoneRule(id, buffer, bufferSize))
        return *accountAnswer;

    const HeapText text = LoadCatalogString(id);
    if (!text)
        return kNoAnswer;
    return AnswerWithText(text.c_str(), text.length(), buffer, bufferSize);
}

}  // namespace quorvel
