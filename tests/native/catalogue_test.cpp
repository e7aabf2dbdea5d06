#include <gtest/gtest.h>

#include <string>

#include "platform/standin/control.h"
#include "services/exports.h"

namespace {

class Catalogue : public ::testing::Test {
protected:
    void SetUp() override { quorvel::standin::Reset(); }
};

std::string Get(unsigned id)
{
    char buffer[512];
    const QuorvelSize size = QuorvelDllGetString(id, buffer, sizeof buffer);
    EXPECT_LE(size, sizeof buffer);
    return std::string(buffer, size - 1);
}

TEST_F(Catalogue, ServesEnglishTexts)
{
    EXPECT_EQ(Get(9), "No <VorProviderName> MODEM FOUND");
    EXPECT_EQ(Get(20001), "Everyone");
}

}  // namespace
