// The buffer protocol of the plain string requests, for every catalogue ID
// and every buffer size around the text's length.
#include "services/exports.h"
#include "standin_test.h"

namespace quorvel::test {
namespace {

using BufferProtocol = StandinTest;

TEST_F(BufferProtocol, EveryIdAtEverySizeAroundItsLength)
{
    std::vector<unsigned> ids = {38};  // and one without text
    for (std::size_t i = 0; i < catalogue::kEntryCount; ++i) {
        if (catalogue::kEntries[i].language == 0x0409)
            ids.push_back(catalogue::kEntries[i].id);
    }
    for (const unsigned id : ids) {
        const std::string text = CatalogueText(0x0409, id);
        const std::uint32_t needed = static_cast<std::uint32_t>(text.size() + 1);
        for (auto get : {QuorvelDllGetString, GetStringFromQuorvelDll}) {
            EXPECT_EQ(get(id, nullptr, 0), needed) << "size query, id " << id;
            EXPECT_EQ(get(id, nullptr, needed - 1), needed) << "a null buffer that is too small";
            std::vector<std::uint32_t> sizes = {needed + 40};
            for (std::uint32_t size = 0; size <= needed + 2; ++size)
                sizes.push_back(size);
            for (const std::uint32_t size : sizes) {
                SCOPED_TRACE(testing::Message() << "id " << id << " size " << size);
                GuardedBuffer buffer(size);
                ASSERT_EQ(get(id, buffer.data(), size), needed);
                if (size >= needed)
                    ASSERT_TRUE(buffer.Holds(text)) << "the text and its NUL, nothing after them";
                else
                    ASSERT_TRUE(buffer.Untouched()) << "a buffer too small receives nothing";
            }
        }
    }
}

}  // namespace
}  // namespace quorvel::test
