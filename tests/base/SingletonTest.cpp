#include "base/Singleton.h"

#include <gtest/gtest.h>

namespace
{
class cManager : public Base::cSingleton<cManager>
{
public:
    cManager() : cSingleton(this) {}
};
} // namespace

TEST(Singleton, RegistersTheLiveInstance)
{
    EXPECT_EQ(cManager::GetInstance(), nullptr);
    {
        cManager only;
        EXPECT_EQ(cManager::GetInstance(), &only);
    }
    EXPECT_EQ(cManager::GetInstance(), nullptr);

    auto* older = new cManager;
    auto* newer = new cManager;
    EXPECT_EQ(cManager::GetInstance(), newer); // the last one constructed wins
    delete older;
    EXPECT_EQ(cManager::GetInstance(), newer);
    delete newer;
    EXPECT_EQ(cManager::GetInstance(), nullptr);
}
