#include "base/RefCount.h"

#include <gtest/gtest.h>

namespace
{
class cCounted : public Base::cRefCount
{
public:
    explicit cCounted(int& deletions) : mDeletions(deletions) {}
    ~cCounted() override { ++mDeletions; }

private:
    int& mDeletions;
};
} // namespace

TEST(RefCount, LastReleaseDeletesTheObject)
{
    int deletions = 0;
    auto* object = new cCounted(deletions);
    EXPECT_EQ(object->GetRefCount(), 1); // the creator's reference
    object->AddRef();
    object->Release();
    EXPECT_EQ(deletions, 0);
    EXPECT_EQ(object->GetRefCount(), 1);
    object->Release();
    EXPECT_EQ(deletions, 1);
}

TEST(RefCount, HolderAddsBeforeItReleases)
{
    int deletions = 0;
    auto* object = new cCounted(deletions);
    {
        Base::cRefPtr<cCounted> holder(object);
        object->Release(); // the creator lets go; the holder keeps it
        EXPECT_EQ(object->GetRefCount(), 1);
        holder.Assign(object);
        EXPECT_EQ(object->GetRefCount(), 1);
        EXPECT_EQ(deletions, 0);

        Base::cRefPtr<cCounted> copy(holder);
        EXPECT_EQ(object->GetRefCount(), 2);
        copy.Release();
        EXPECT_FALSE(copy);
        EXPECT_EQ(object->GetRefCount(), 1);
    }
    EXPECT_EQ(deletions, 1);

    int otherDeletions = 0;
    Base::cRefPtr<cCounted> holder(new cCounted(deletions));
    holder->Release(); // hand the creator's reference to the holder
    holder.Assign(new cCounted(otherDeletions));
    EXPECT_EQ(deletions, 2);
    holder->Release();
    holder.Release();
    EXPECT_EQ(otherDeletions, 1);
}
