// Background work: X on a pool thread, then Y on the main thread; errors of X shown after Y.

#include "await.h"
#include "errors.h"
#include "test_support_qt.h"

#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <memory>

TEST(Await, CapturedStateLivesUntilTheContinuationHasRun)
{
    struct State
    {
        std::vector<int> loaded;
    };
    auto state = std::make_shared<State>();
    std::weak_ptr<State> watch = state;
    bool sawTheWork = false;
    Baslat([state] { state->loaded = {1, 2, 3}; })->Await([state, &sawTheWork] { sawTheWork = state->loaded.size() == 3; });
    state.reset(); // the caller's frame is gone at once; X and Y keep what they captured
    ASSERT_TRUE(waitUntil([&] { return watch.expired(); }));
    EXPECT_TRUE(sawTheWork);
}

TEST(Await, WorkRunsOnAPoolThreadAndTheContinuationOnTheMainThread)
{
    QThread *work = nullptr, *cont = nullptr;
    bool done = false, sawWork = false;
    std::vector<int> loaded;
    Baslat([&] {
        work = QThread::currentThread();
        loaded = {1, 2, 3};
    })->Await([&] {
        cont = QThread::currentThread();
        sawWork = loaded.size() == 3;
        done = true;
    });
    ASSERT_TRUE(waitUntil([&] { return done; }));
    EXPECT_NE(work, QThread::currentThread());
    EXPECT_EQ(cont, QThread::currentThread());
    EXPECT_TRUE(sawWork);
}

TEST(Await, AnErrorInTheWorkIsShownAfterTheContinuationRan)
{
    std::vector<std::string> events;
    RecordedBoxes boxes;
    Baslat([&] {
        throw tarvik::ServerError(QStringLiteral("EDatabaseError"), QStringLiteral("Tablo kilitli"));
    })->Await([&] {
        events.push_back("Y");
        EXPECT_TRUE(boxes.shown.empty()); // not yet
    });
    ASSERT_TRUE(waitUntil([&] { return !boxes.shown.empty(); }));
    EXPECT_EQ(events, std::vector<std::string>{"Y"});
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, MesajTuru::Hata);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Tablo kilitli"));
}

TEST(Await, AnErrorInTheContinuationIsShownToo)
{
    RecordedBoxes boxes;
    Baslat([] {})->Await([] { throw std::runtime_error("devam hatası"); });
    ASSERT_TRUE(waitUntil([&] { return !boxes.shown.empty(); }));
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("devam hatası"));
}

TEST(Await, RunsOverlapAndContinuationsFollowTheOrderTheWorkEnded)
{
    // The first run's work waits until the second run's continuation has run: both works overlap, and
    // the second ends first.
    std::latch secondContinued(1);
    std::vector<int> order;
    Baslat([&] { secondContinued.wait(); })->Await([&] { order.push_back(1); });
    Baslat([] {})->Await([&] {
        order.push_back(2);
        secondContinued.count_down();
    });
    ASSERT_TRUE(waitUntil([&] { return order.size() == 2; }));
    EXPECT_EQ(order, (std::vector<int>{2, 1}));
}
