#include "alarms/core/wake_chooser.h"

#include <gtest/gtest.h>

#include "support/fake_wake_way.h"

namespace {

using namespace zorvel;
using test::CFakeWakeWay;
using Availability = CWakeChooser::Availability;

constexpr std::time_t kNow = 1'800'000'000;

struct Chooser {
    explicit Chooser(bool firstWorks, bool secondWorks = true) {
        std::vector<std::unique_ptr<IWakeWay>> list;
        list.push_back(std::make_unique<CFakeWakeWay>("systemd", firstWorks));
        list.push_back(std::make_unique<CFakeWakeWay>("zorvel-wake", secondWorks));
        first = static_cast<CFakeWakeWay*>(list[0].get());
        second = static_cast<CFakeWakeWay*>(list[1].get());
        chooser = std::make_unique<CWakeChooser>(std::move(list));
        chooser->onAvailability = [this](Availability a) { told.push_back(a); };
    }
    CFakeWakeWay* first;
    CFakeWakeWay* second;
    std::unique_ptr<CWakeChooser> chooser;
    std::vector<Availability> told;
};

TEST(WakeChooser, TheFirstWayThatWorksIsUsedAndArmedHalfAMinuteAhead) {
    struct Case {
        bool first, second;
        std::time_t firstArmed, secondArmed;
        Availability availability;
    };
    const std::time_t alarm = kNow + 3600;
    for (const Case& c : {Case{true, true, alarm - 30, 0, Availability::kWorks},
                          Case{false, true, 0, alarm - 30, Availability::kWorks},
                          Case{false, false, 0, 0, Availability::kNone}}) {
        SCOPED_TRACE(testing::Message() << c.first << c.second);
        Chooser t(c.first, c.second);
        t.chooser->Want(alarm, kNow);
        EXPECT_EQ(t.first->armed, c.firstArmed);
        EXPECT_EQ(t.second->armed, c.secondArmed);
        // A way that refused was tried with the same moment and is not tried again.
        EXPECT_EQ(t.first->arms, std::vector<std::time_t>{alarm - 30});
        EXPECT_EQ(t.chooser->availability(), c.availability);
        EXPECT_EQ(t.told, std::vector<Availability>{c.availability});
        t.chooser->Want(alarm + 60, kNow);
        EXPECT_EQ(t.first->arms.size(), c.first ? 2u : 1u);
    }
}

TEST(WakeChooser, ReArmsOnlyWhenTheMomentChangesAndDisarmsWhenNothingIsAhead) {
    Chooser t(true);
    t.chooser->Want(kNow + 600, kNow);
    t.chooser->Want(kNow + 600, kNow + 60);  // the same alarm, a minute later
    EXPECT_EQ(t.first->arms.size(), 1u);
    t.chooser->Want(kNow + 300, kNow + 60);  // an earlier alarm was added
    EXPECT_EQ(t.first->armed, kNow + 270);
    // Moments away: what is armed stays rather than arming a moment already past.
    t.chooser->Want(kNow + 320, kNow + 300);
    EXPECT_EQ(t.first->armed, kNow + 270);
    EXPECT_EQ(t.first->arms.size(), 2u);
    // After a resume the same moment is armed afresh (the timer that fired is spent).
    t.chooser->Refresh(kNow + 100);
    EXPECT_EQ(t.first->arms.size(), 3u);
    t.chooser->Want(std::nullopt, kNow + 400);
    EXPECT_EQ(t.first->armed, 0);
    EXPECT_EQ(t.chooser->armedAt(), 0);
}

TEST(WakeChooser, WithNoAlarmOrSwitchedOffTheWayIsStillTriedOnceThenDisarmed) {
    for (bool enabled : {true, false}) {
        Chooser t(false);
        t.chooser->SetEnabled(enabled, kNow);
        t.chooser->Want(std::nullopt, kNow);
        // The settings page must know whether waking can work, on or off.
        EXPECT_EQ(t.chooser->availability(), Availability::kWorks);
        EXPECT_EQ(t.second->arms, std::vector<std::time_t>{kNow + 24 * 3600});
        EXPECT_EQ(t.second->armed, 0);
        t.chooser->Want(kNow + 600, kNow);
        EXPECT_EQ(t.second->armed, enabled ? kNow + 570 : 0);
        t.chooser->SetEnabled(true, kNow);
        EXPECT_EQ(t.second->armed, kNow + 570);
        t.chooser->SetEnabled(false, kNow);
        EXPECT_EQ(t.second->armed, 0);
    }
}

TEST(WakeChooser, AnAnswerThatComesLaterArmsWhatIsWantedByThen) {
    Chooser t(false);
    t.first->answerAtOnce = false;
    t.chooser->Want(kNow + 600, kNow);
    t.chooser->Want(kNow + 900, kNow);  // changed while systemd was still being asked
    EXPECT_EQ(t.first->arms.size(), 1u);
    EXPECT_EQ(t.chooser->availability(), Availability::kUnknown);
    t.first->Answer();  // refused
    EXPECT_EQ(t.second->arms, std::vector<std::time_t>{kNow + 870});
    // An answer after the chooser has gone reaches nothing.
    Chooser late(true);
    late.first->answerAtOnce = false;
    late.chooser->Want(kNow + 600, kNow);
    auto pending = late.first->pending;
    late.chooser.reset();
    pending(true);
}

}  // namespace
