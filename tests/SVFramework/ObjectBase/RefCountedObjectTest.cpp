#include "ObjectBase/RefCountedObject.h"

#include "ObjectBase/Exception.h"
#include "ObjectBase/Holder.h"
#include "ResultCodes.h"
#include "TrackedObjects.h"
#include "Utilities/Storage/SharedBuffer.h"
#include "Utilities/Storage/StringT.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using svtest::SelfHoldingObject;
using svtest::Tally;
using svtest::TrackedObject;

TEST(RefCountedObjectTest, StartsUnheldAndShareable)
{
    Tally tally;
    auto* object = new TrackedObject(tally);
    EXPECT_EQ(0, object->GetRefCount());
    EXPECT_EQ(0, object->GetInternalRefCount());
    EXPECT_TRUE(object->IsShareable());
    EXPECT_EQ(1, object->AddRef());
    EXPECT_EQ(2, object->AddRef());
    EXPECT_EQ(1, object->Release());
    EXPECT_EQ(0, object->Release());
    EXPECT_EQ(1, tally.destroyed);
}

TEST(RefCountedObjectTest, LastReleaseWithoutInternalReferencesDestroysWithoutHook)
{
    Tally tally;
    auto* object = new SelfHoldingObject(tally);
    object->AddRef();
    EXPECT_EQ(0, object->Release());
    EXPECT_EQ(0, tally.hooks);
    EXPECT_EQ(1, tally.destroyed);
}

// Watches the object's hook from outside, since the object is gone after the last release.
class WatchedSelfHoldingObject : public SelfHoldingObject
{
public:
    WatchedSelfHoldingObject(Tally& tally, std::vector<int32_t>& nested)
        : SelfHoldingObject(tally), mNested(nested)
    {}
    ~WatchedSelfHoldingObject() override { mNested = nestedResults; }

private:
    std::vector<int32_t>& mNested;
};

TEST(RefCountedObjectTest, ReleaseLeavingOnlyInternalReferencesRunsHookOnceAndDestroys)
{
    Tally tally;
    std::vector<int32_t> nested;
    auto* object = new WatchedSelfHoldingObject(tally, nested);
    object->AddRef();
    object->HoldSelf(2);
    ASSERT_EQ(3, object->GetRefCount());
    ASSERT_EQ(2, object->GetInternalRefCount());

    EXPECT_EQ(0, object->Release());
    EXPECT_EQ(1, tally.hooks);
    // The hook's own releases see the guard raised and only count down.
    EXPECT_EQ((std::vector<int32_t>{2, 1}), nested);
    EXPECT_EQ(1, tally.destroyed);
}

TEST(RefCountedObjectTest, InternalReferencesWaitForTheLastExternalHolder)
{
    Tally tally;
    auto* object = new SelfHoldingObject(tally);
    object->AddRef();
    object->AddRef();
    object->HoldSelf(2);

    EXPECT_EQ(3, object->Release()); // one external holder is left: no hook yet
    EXPECT_EQ(0, tally.hooks);
    EXPECT_EQ(0, object->Release());
    EXPECT_EQ(1, tally.hooks);
    EXPECT_EQ(1, tally.destroyed);
}

TEST(RefCountedObjectTest, InternalReferencesTakenOnSeveralThreadsAtOnceAreAllCounted)
{
    Tally tally;
    SV::RCPtr<TrackedObject> object(new TrackedObject(tally));
    constexpr int kThreads = 4;
    constexpr int kRounds = 20000;
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int thread = 0; thread < kThreads; ++thread) {
        threads.emplace_back([&] {
            // All start together, so that their changes overlap.
            ready.fetch_add(1);
            while (ready.load() < kThreads) {
            }
            for (int round = 0; round < kRounds; ++round) {
                object->AddInternalRef();
                object->AddInternalRef();
                object->ReleaseInternalRef();
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(kThreads * kRounds, object->GetInternalRefCount());
    for (int round = 0; round < kThreads * kRounds; ++round) {
        object->ReleaseInternalRef();
    }
    EXPECT_EQ(0, object->GetInternalRefCount());
}

TEST(RefCountedObjectTest, ReleaseWithOtherExternalHoldersCallsNoHook)
{
    Tally tally;
    auto* object = new SelfHoldingObject(tally);
    object->AddRef();
    object->AddRef();
    EXPECT_EQ(1, object->Release());
    EXPECT_EQ(0, tally.hooks);
    EXPECT_EQ(0, object->Release());
}

TEST(RefCountedObjectTest, BaseHookAnswersWhetherOnlyTheCallerHoldsTheObject)
{
    Tally tally;
    SV::RCPtr<TrackedObject> object(new TrackedObject(tally));
    EXPECT_EQ(0, object->ReleaseHook());
    SV::RCPtr<TrackedObject> second(object);
    EXPECT_EQ(E_FAIL, object->ReleaseHook());
}

TEST(RefCountedObjectTest, UnshareableOnlyWhileHeldOnce)
{
    Tally tally;
    SV::RCPtr<TrackedObject> object(new TrackedObject(tally));
    object->SetUnshareable(true);
    EXPECT_FALSE(object->IsShareable());
    object->SetUnshareable(false);

    SV::RCPtr<TrackedObject> second(object);
    try {
        object->SetUnshareable(true);
        FAIL() << "nothing thrown";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ("Runtime Error : SV::LRefCountedObject::SetUnshareable : "
                     "ObjectBase\\RefCountedObject : Line 29",
                     error.what());
    }
    EXPECT_TRUE(object->IsShareable());
    EXPECT_NO_THROW(object->SetUnshareable(false));
}

TEST(RefCountedObjectTest, UndoAndCreateCopyAreNotImplementedByTheBase)
{
    Tally tally;
    SV::RCPtr<TrackedObject> object(new TrackedObject(tally));
    try {
        object->Undo();
        FAIL() << "nothing thrown";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ("Logic Error : Undo() not implemented for RefCountedObject : "
                     "SV::LRefCountedObject::Undo : objectbase\\RefCountedObject : Line 155",
                     error.what());
    }
    SV::ConstRCPtr<SV::LRefCountedObject> copy;
    try {
        object->CreateCopy(copy);
        FAIL() << "nothing thrown";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ("Logic Error : CreateCopy() not implemented for RefCountedObject : "
                     "SV::LRefCountedObject::CreateCopy : objectbase\\RefCountedObject : Line 228",
                     error.what());
    }
    EXPECT_FALSE(copy);
}

TEST(RefCountedObjectTest, ToStringNamesTheDynamicClass)
{
    const SV::RCPtr<SV::LIBuffer> buffer = SV::NewSharedBuffer(4, 0, true);
    const std::string name = buffer->ToString().ToNarrow().GetText();
    EXPECT_EQ(0u, name.rfind("class SV::LBufferT<", 0)) << name;

    Tally tally;
    SV::RCPtr<TrackedObject> tracked(new TrackedObject(tally));
    EXPECT_EQ("class svtest::TrackedObject", std::string(tracked->ToString().ToNarrow().GetText()));
}

TEST(RefCountedObjectTest, HoldersAndWrappersAreCountedValues)
{
    SV::RCPtr<SV::LHolder<int>> holder(new SV::LHolder<int>(7));
    EXPECT_EQ(7, holder->Get());
    EXPECT_EQ(1, holder->GetRefCount());

    using StringObject =
        SV::LWrapperStringable<SV::WideString, SV::LRefCountedObject, &SV::StringToString>;
    SV::RCPtr<StringObject> text(new StringObject(SV::WideString(u"label")));
    const SV::RCPtr<SV::LRefCountedObject> base(text);
    EXPECT_TRUE(base->ToString().EqualsText(u"label"));
    EXPECT_EQ(2, text->GetRefCount());
}

} // namespace
