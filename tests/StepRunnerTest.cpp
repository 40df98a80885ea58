#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "migration/StepRunner.h"

namespace ledgerlift {
namespace {

// A row's steps and the policy that a stage gives them: the runner itself
// never asks, retries or stops on its own.
struct Trace {
    std::vector<std::string> ran;
    std::vector<StepFailure> failures;
    std::function<void()> Step(const std::string& name, int failTimes = 0) {
        return [this, name, failTimes, count = 0]() mutable {
            ran.push_back(name);
            if (count++ < failTimes) {
                throw std::runtime_error(name + " failed");
            }
        };
    }
};

TEST(StepRunner, RunsTheStepsInOrder) {
    Trace t;
    StepRunner runner([](const StepFailure&) { return Verdict::Stop; });
    EXPECT_TRUE(runner.Run({{"a", t.Step("a")}, {"b", t.Step("b")}, {"c", t.Step("c")}}));
    EXPECT_EQ(t.ran, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(StepRunner, ContinueGoesOnWithTheStepAfterTheFailedOne) {
    Trace t;
    StepRunner runner([&](const StepFailure& f) {
        t.failures.push_back(f);
        return Verdict::Continue;
    });
    EXPECT_TRUE(runner.Run({{"a", t.Step("a")}, {"b", t.Step("b", 5)}, {"c", t.Step("c")}}));
    EXPECT_EQ(t.ran, (std::vector<std::string>{"a", "b", "c"})) << "b is not run again";
    ASSERT_EQ(t.failures.size(), 1u);
    EXPECT_STREQ(t.failures[0].step, "b");
    EXPECT_EQ(t.failures[0].description, "b failed");
    EXPECT_EQ(t.failures[0].retries, 0);
}

TEST(StepRunner, StopEndsTheStepsAndSaysSo) {
    Trace t;
    StepRunner runner([](const StepFailure&) { return Verdict::Stop; });
    EXPECT_FALSE(runner.Run({{"a", t.Step("a")}, {"b", t.Step("b", 1)}, {"c", t.Step("c")}}));
    EXPECT_EQ(t.ran, (std::vector<std::string>{"a", "b"}));
}

TEST(StepRunner, RetryRunsTheFailedStepAgainAsOftenAsThePolicyAllows) {
    // The item stage's unique-key rule: three retries, then the question.
    constexpr int kBound = 3;
    Trace t;
    StepRunner runner([&](const StepFailure& f) {
        t.failures.push_back(f);
        return f.retries < kBound ? Verdict::Retry : Verdict::Continue;
    });
    EXPECT_TRUE(runner.Run({{"insert", t.Step("insert", 100)}, {"next", t.Step("next")}}));
    EXPECT_EQ(t.ran, (std::vector<std::string>{"insert", "insert", "insert", "insert", "next"}));
    ASSERT_EQ(t.failures.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(t.failures[i].retries, i);
    }
}

TEST(StepRunner, ARetriedStepThatSucceedsGoesOnNormally) {
    Trace t;
    StepRunner runner([](const StepFailure&) { return Verdict::Retry; });
    EXPECT_TRUE(runner.Run({{"insert", t.Step("insert", 2)}, {"next", t.Step("next")}}));
    EXPECT_EQ(t.ran, (std::vector<std::string>{"insert", "insert", "insert", "next"}));
}

TEST(StepRunner, AFailureInsideThePolicyLeavesTheRunner) {
    Trace t;
    StepRunner runner(
        [](const StepFailure&) -> Verdict { throw std::logic_error("rollback failed"); });
    EXPECT_THROW(runner.Run({{"a", t.Step("a", 1)}, {"b", t.Step("b")}}), std::logic_error);
    EXPECT_EQ(t.ran, std::vector<std::string>{"a"});
}

TEST(StepFailure, UniqueKeyIsFoundInAnyLetterCase) {
    EXPECT_TRUE((StepFailure{"s", "would repeat a value (UNIQUE KEY).", 0}.IsUniqueKey()));
    EXPECT_TRUE((StepFailure{"s", "violates the unique key", 0}.IsUniqueKey()));
    EXPECT_FALSE((StepFailure{"s", "unique keys", 0}.IsUniqueKey() &&
                  StepFailure{"s", "uniquekey", 0}.IsUniqueKey()));
    EXPECT_FALSE((StepFailure{"s", "no such table", 0}.IsUniqueKey()));
}

}  // namespace
}  // namespace ledgerlift
