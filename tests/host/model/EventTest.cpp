// Events, subscriptions and event-bound fields: who hears what, and when
// handlers stop hearing.

#include <QString>
#include <vector>

#include "TestSupport.h"
#include "host/events/Event.h"
#include "host/events/EventField.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::host {
namespace {

struct Source {
    Event<const QString&> changed;
    Event<bool&> write;
};

TEST(EventTest, HandlersRunInConnectOrderUntilTheirSubscriptionEnds) {
    Event<int> e;
    std::vector<QString> log;
    Subscription a = e.connect([&](int n) { log.push_back(u"a%1"_s.arg(n)); });
    {
        Subscription b = e.connect([&](int n) { log.push_back(u"b%1"_s.arg(n)); });
        e.raise(1);
    }
    e.raise(2);
    a.disconnect();
    e.raise(3);
    EXPECT_EQ(log, (std::vector<QString>{u"a1"_s, u"b1"_s, u"a2"_s}));
    EXPECT_EQ(e.handlerCount(), 0);
}

TEST(EventTest, CancelFlagReachesTheRaiserAndMovedSubscriptionsStayConnected) {
    Event<bool&> e;
    Subscription s = e.connect([](bool& cancel) { cancel = true; });
    Subscription moved = std::move(s);
    bool cancel = false;
    e.raise(cancel);
    EXPECT_TRUE(cancel);
    EXPECT_FALSE(s.connected());  // NOLINT: moved-from is disconnected by contract
    EXPECT_TRUE(moved.connected());
}

TEST(EventTest, HandlerDisconnectedDuringARaiseIsNotCalledLater) {
    Event<> e;
    int second = 0;
    Subscription b;
    Subscription a = e.connect([&] { b.disconnect(); });
    b = e.connect([&] { ++second; });
    e.raise();
    EXPECT_EQ(second, 0);
}

TEST(EventTest, SubscriptionOutlivingItsEventIsHarmless) {
    Subscription s;
    {
        Event<> e;
        s = e.connect([] {});
        EXPECT_TRUE(s.connected());
    }
    EXPECT_FALSE(s.connected());
    s.disconnect();
}

class EventFieldTest : public ::testing::Test {
protected:
    EventField<Source> field{[this](Source& s) {
        std::vector<Subscription> subs;
        subs.push_back(s.changed.connect([this, &s](const QString& name) {
            heard.push_back({&s, name});
        }));
        return subs;
    }};
    std::vector<std::pair<Source*, QString>> heard;
};

TEST_F(EventFieldTest, OnlyTheLastAssignedObjectRaisesIntoTheHandlers) {
    auto first = std::make_shared<Source>();
    auto second = std::make_shared<Source>();
    field = first;
    first->changed.raise(u"one"_s);
    field = second;
    first->changed.raise(u"stale"_s);
    second->changed.raise(u"two"_s);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].first, first.get());
    EXPECT_EQ(heard[1].first, second.get());
    EXPECT_EQ(heard[1].second, u"two"_s);
    EXPECT_EQ(field.get(), second);
}

TEST_F(EventFieldTest, ReleasedFieldRaisesNothingAndReassigningTheSameObjectDoesNotDouble) {
    auto item = std::make_shared<Source>();
    field = item;
    field = item;
    item->changed.raise(u"once"_s);
    EXPECT_EQ(heard.size(), 1u);
    field = nullptr;
    EXPECT_FALSE(field);
    item->changed.raise(u"after release"_s);
    EXPECT_EQ(heard.size(), 1u);
    EXPECT_EQ(item->changed.handlerCount(), 0);
}

TEST_F(EventFieldTest, FieldDestroyedBeforeItsObjectDisconnects) {
    auto item = std::make_shared<Source>();
    {
        EventField<Source> local{[](Source& s) {
            std::vector<Subscription> subs;
            subs.push_back(s.write.connect([](bool& c) { c = true; }));
            return subs;
        }};
        local = item;
        EXPECT_EQ(item->write.handlerCount(), 1);
    }
    bool cancel = false;
    item->write.raise(cancel);
    EXPECT_FALSE(cancel);
}

}  // namespace
}  // namespace orlo::host
