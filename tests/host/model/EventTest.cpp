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

    // A handler disconnected by an earlier one during a raise is not called.
    Event<> plain;
    int second = 0;
    Subscription d;
    Subscription c = plain.connect([&] { d.disconnect(); });
    d = plain.connect([&] { ++second; });
    plain.raise();
    EXPECT_EQ(second, 0);
}

TEST(EventTest, MovedSubscriptionsStayConnectedAndOutlivingTheEventIsHarmless) {
    Event<bool&> e;
    Subscription s = e.connect([](bool& cancel) { cancel = true; });
    Subscription moved = std::move(s);
    bool cancel = false;
    e.raise(cancel);
    EXPECT_TRUE(cancel);
    EXPECT_FALSE(s.connected());  // NOLINT: moved-from is disconnected by contract
    EXPECT_TRUE(moved.connected());

    Subscription outlives;
    {
        Event<> gone;
        outlives = gone.connect([] {});
    }
    EXPECT_FALSE(outlives.connected());
    outlives.disconnect();
}

TEST(EventFieldTest, OnlyTheLastAssignedObjectRaisesAndAReleasedFieldNothing) {
    std::vector<std::pair<Source*, QString>> heard;
    EventField<Source> field{[&](Source& s) {
        std::vector<Subscription> subs;
        subs.push_back(s.changed.connect([&heard, &s](const QString& name) {
            heard.push_back({&s, name});
        }));
        return subs;
    }};
    auto first = std::make_shared<Source>();
    auto second = std::make_shared<Source>();
    field = first;
    field = first;  // the same object again: heard once, not twice
    first->changed.raise(u"one"_s);
    field = second;
    first->changed.raise(u"stale"_s);
    second->changed.raise(u"two"_s);
    EXPECT_EQ(heard, (std::vector<std::pair<Source*, QString>>{{first.get(), u"one"_s},
                                                               {second.get(), u"two"_s}}));
    EXPECT_EQ(field.get(), second);
    field = nullptr;
    EXPECT_FALSE(field);
    second->changed.raise(u"after release"_s);
    EXPECT_EQ(heard.size(), 2u);
    EXPECT_EQ(second->changed.handlerCount(), 0);

    // A field destroyed before its object disconnects.
    {
        EventField<Source> local{[](Source& s) {
            std::vector<Subscription> subs;
            subs.push_back(s.write.connect([](bool& c) { c = true; }));
            return subs;
        }};
        local = first;
        EXPECT_EQ(first->write.handlerCount(), 1);
    }
    bool cancel = false;
    first->write.raise(cancel);
    EXPECT_FALSE(cancel);
}

}  // namespace
}  // namespace orlo::host
