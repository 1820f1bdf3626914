#include "ControlBase/ControlNotificationHandler.h"

#include "ControlFixtures.h"
#include "Notification/NotificationNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SV;
using svtest::MakeControl;

namespace {

using Log = std::vector<std::string>;

// A control class with a handler of its own and a class derived from it with another: each
// writes its name to the log and answers what the test set.
class BaseReceiver : public LControl
{
public:
    explicit BaseReceiver(Log& log) : LControl(nullptr, u"receiver"), mLog(log) {}

    void WireBase(const RCPtr<LControl>& source)
    {
        mBaseHandler.Create();
        mBaseHandler->RegisterHandler(&BaseReceiver::OnBaseValue,
                                      RCPtr<LNotificationDistributor>(source), kNidValueChange);
    }
    int32_t GetBaseHandlerCount() const { return mBaseHandler->GetHandlerCount(); }

    int32_t baseAnswer = 1;

protected:
    Log& mLog;

private:
    int32_t OnBaseValue(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                        const ConstRCPtr<LNotification>& /*notification*/)
    {
        mLog.push_back("base");
        return baseAnswer;
    }

    ControlNotificationHandler<BaseReceiver> mBaseHandler{this};
};

class DerivedReceiver : public BaseReceiver
{
public:
    using BaseReceiver::BaseReceiver;

    void WireDerived(const RCPtr<LControl>& source)
    {
        mDerivedHandler.Create();
        mDerivedHandler->RegisterHandler(&DerivedReceiver::OnDerivedValue,
                                         RCPtr<LNotificationDistributor>(source), kNidValueChange);
    }
    bool IsDerivedWired() const { return bool(mDerivedHandler); }
    int32_t GetDerivedHandlerCount() const { return mDerivedHandler->GetHandlerCount(); }

    int32_t derivedAnswer = 1;

private:
    int32_t OnDerivedValue(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                           const ConstRCPtr<LNotification>& /*notification*/)
    {
        mLog.push_back("derived");
        return derivedAnswer;
    }

    ControlNotificationHandler<DerivedReceiver> mDerivedHandler{this};
};

class ControlNotificationHandlerTest : public ::testing::Test
{
protected:
    void Send() { source->Notify(CreateNotification(kNidValueChange)); }

    Log log;
    RCPtr<LControl> source = MakeControl(nullptr, u"source");
    RCPtr<DerivedReceiver> receiver{new DerivedReceiver(log)};
};

// Whatever order the classes wire themselves in, the derived class is asked first, and the base
// class only hears what the derived class leaves (answers 0 for).
TEST_F(ControlNotificationHandlerTest, TheMostDerivedClassAnswersFirstAndTheBaseHearsWhatItLeaves)
{
    const struct
    {
        bool derivedWiresFirst;
        int32_t derivedAnswer;
        Log expected;
    } cases[] = {
        {false, 1, {"derived"}},
        {true, 1, {"derived"}},
        {false, 0, {"derived", "base"}},
        {true, 0, {"derived", "base"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.derivedWiresFirst << " " << c.derivedAnswer);
        log.clear();
        receiver = RCPtr<DerivedReceiver>(new DerivedReceiver(log));
        receiver->SetCreated();
        if (c.derivedWiresFirst) {
            receiver->WireDerived(source);
            receiver->WireBase(source);
        } else {
            receiver->WireBase(source);
            receiver->WireDerived(source);
        }
        receiver->derivedAnswer = c.derivedAnswer;
        Send();
        EXPECT_EQ(log, c.expected);
    }
}

TEST_F(ControlNotificationHandlerTest, AControlHearsNothingBeforeItIsCreated)
{
    receiver->WireBase(source);
    receiver->WireDerived(source);
    Send();
    EXPECT_TRUE(log.empty());
    receiver->SetCreated();
    Send();
    EXPECT_EQ(log, Log{"derived"});
}

// A class that has not wired itself up takes nothing and says so; the others still hear.
TEST_F(ControlNotificationHandlerTest, AClassNotWiredYetLetsTheNotificationPass)
{
    receiver->SetCreated();
    receiver->WireBase(source);
    EXPECT_FALSE(receiver->IsDerivedWired());
    Send();
    EXPECT_EQ(log, Log{"base"});
}

TEST_F(ControlNotificationHandlerTest, UnregisteringDropsThePairFromEveryClassAndTheDistributor)
{
    receiver->SetCreated();
    receiver->WireBase(source);
    receiver->WireDerived(source);
    EXPECT_TRUE(source->HasClient(receiver.Get()));
    EXPECT_EQ(receiver->Unregister(RCPtr<LNotificationDistributor>(source), kNidValueChange), 0);
    EXPECT_EQ(receiver->GetBaseHandlerCount(), 0);
    EXPECT_EQ(receiver->GetDerivedHandlerCount(), 0);
    EXPECT_FALSE(source->HasClient(receiver.Get()));
    Send();
    EXPECT_TRUE(log.empty());

    // Wired again, both classes hear again.
    receiver->derivedAnswer = 0;
    receiver->WireBase(source);
    receiver->WireDerived(source);
    Send();
    EXPECT_EQ(log, (Log{"derived", "base"}));
}

// The distributor going away takes the registration and every class's function along.
TEST_F(ControlNotificationHandlerTest, ADistributorThatLetsItsClientsGoEmptiesEveryClass)
{
    receiver->SetCreated();
    receiver->WireBase(source);
    receiver->WireDerived(source);
    source->UnregisterAllClients();
    EXPECT_EQ(receiver->GetBaseHandlerCount(), 0);
    EXPECT_EQ(receiver->GetDerivedHandlerCount(), 0);
    EXPECT_EQ(receiver->LNotificationClient::GetRegistrationCount(), 0);
}

} // namespace
