#include <gtest/gtest.h>

#include <cmath>

#include "ui/FormControls.h"
#include "ui/ProgressMeter.h"
#include "ui/ScriptedWindowOps.h"

namespace ledgerlift {
namespace {

using namespace std::chrono_literals;
using Clock = ProgressMeter::Clock;

struct DurationCase {
    const char* name;
    double seconds;
    const char* text;
};

class Durations : public ::testing::TestWithParam<DurationCase> {};

TEST_P(Durations, ReadAtAGlance) {
    EXPECT_EQ(ProgressMeter::Duration(GetParam().seconds), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Progress, Durations,
    ::testing::Values(DurationCase{"Nothing", 0, "less than a second"},
                      DurationCase{"UnderHalfASecond", 0.4, "less than a second"},
                      DurationCase{"OneSecond", 1.2, "about 1 second"},
                      DurationCase{"Seconds", 42, "about 42 seconds"},
                      DurationCase{"WholeMinute", 120, "about 2 minutes"},
                      DurationCase{"MinutesAndSeconds", 200, "about 3 minutes 20 seconds"},
                      DurationCase{"OneMinuteOneSecond", 61, "about 1 minute 1 second"},
                      DurationCase{"Hours", 3900, "about 1 hour 5 minutes"},
                      DurationCase{"WholeHours", 7200, "about 2 hours"},
                      DurationCase{"NotANumber", std::nan(""), "less than a second"}),
    [](const auto& info) { return std::string(info.param.name); });

struct CountCase {
    const char* name;
    long long n;
    const char* text;
};

class Counts : public ::testing::TestWithParam<CountCase> {};

TEST_P(Counts, GroupThousandsWithCommas) {
    EXPECT_EQ(ProgressMeter::Count(GetParam().n), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Progress, Counts,
                         ::testing::Values(CountCase{"Zero", 0, "0"},
                                           CountCase{"Hundreds", 999, "999"},
                                           CountCase{"Thousand", 1000, "1,000"},
                                           CountCase{"LastRowOfASheet", 65000, "65,000"},
                                           CountCase{"Million", 1048576, "1,048,576"},
                                           CountCase{"Negative", -32767, "-32,767"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Progress, TellsRowsDoneOfRowsTheRateAndTheTimeLeft) {
    ProgressMeter meter;
    Clock::time_point start{};
    EXPECT_FALSE(meter.Active());
    EXPECT_EQ(meter.Text(start), "");
    meter.Report("Migrating items", 0, 5000, start);
    EXPECT_EQ(meter.Text(start), "Migrating items: 0 of 5,000 rows") << "no rate before a row";
    meter.Report("Migrating items", 100, 5000, start + 100ms);
    EXPECT_EQ(meter.Text(start + 100ms), "Migrating items: 100 of 5,000 rows")
        << "too early for a rate to mean anything";
    meter.Report("Migrating items", 1000, 5000, start + 2s);
    EXPECT_DOUBLE_EQ(*meter.RowsPerSecond(start + 2s), 500);
    EXPECT_DOUBLE_EQ(*meter.SecondsLeft(start + 2s), 8);
    EXPECT_EQ(meter.Text(start + 2s),
              "Migrating items: 1,000 of 5,000 rows, 500 rows a second, about 8 seconds left");
    meter.Report("Migrating items", 5000, 5000, start + 10s);
    EXPECT_EQ(meter.Text(start + 10s), "Migrating items: 5,000 of 5,000 rows, 500 rows a second")
        << "nothing is left at the last row";
}

TEST(Progress, ANewStageStartsItsOwnClock) {
    ProgressMeter meter;
    Clock::time_point start{};
    meter.Report("Migrating items", 0, 10, start);
    meter.Report("Migrating items", 10, 10, start + 10s);
    meter.Report("Migrating ledgers", 0, 400, start + 10s);
    meter.Report("Migrating ledgers", 100, 400, start + 11s);
    EXPECT_EQ(meter.Stage(), "Migrating ledgers");
    EXPECT_DOUBLE_EQ(*meter.RowsPerSecond(start + 11s), 100) << "not the items' slow rate";
    EXPECT_DOUBLE_EQ(*meter.SecondsLeft(start + 11s), 3);
    meter.End();
    EXPECT_FALSE(meter.Active());
}

TEST(Progress, WithoutACountOfRowsThereIsNoTimeLeft) {
    ProgressMeter meter;
    Clock::time_point start{};
    meter.Report("Loading", 0, 0, start);
    meter.Report("Loading", 300, 0, start + 1s);
    EXPECT_FALSE(meter.SecondsLeft(start + 1s));
    EXPECT_EQ(meter.Text(start + 1s), "Loading: 300 rows, 300 rows a second");
}

TEST(ScriptedOps, RecordProgressAndAnswerTheSaveDialogFromTheirQueue) {
    ScriptedWindowOps ops;
    ops.Progress("Migrating items", 0, 2);
    ops.Progress("Migrating items", 1, 2);
    ops.EndProgress();
    using Report = ScriptedWindowOps::ProgressReport;
    EXPECT_EQ(ops.ProgressReports(),
              (std::vector<Report>{{"Migrating items", 0, 2}, {"Migrating items", 1, 2}}));
    EXPECT_EQ(ops.ProgressEnds(), 1);
    ops.QueueSaveFile("/out/report.csv");
    EXPECT_EQ(ops.ShowSave("CSV Files|*.csv", "book report.csv"), "/out/report.csv");
    EXPECT_EQ(ops.ShowSave("CSV Files|*.csv", "again.csv"), std::nullopt) << "cancelled";
    EXPECT_EQ(ops.SaveNames(), (std::vector<std::string>{"book report.csv", "again.csv"}));
}

TEST(FormControlsTest, ClearingTheWorkbookGridsLeavesTheHeadersAndTheStartCaptions) {
    FormControls form;
    form.itemGrid.AddItem("2\tA1\tSoap");
    form.itemGrid.SetRowMark(1, Rgb{255, 199, 206}, "failed");
    form.ledgerGrid.AddItem("2\tL1");
    form.gridTabs.TabCaption[0] = "Items 1";
    form.gridTabs.TabCaption[1] = "Ledgers 1";
    std::string header(form.itemGrid.TextMatrix(0, 1));
    form.ClearWorkbookGrids();
    EXPECT_EQ(form.itemGrid.Rows(), 1);
    EXPECT_EQ(form.ledgerGrid.Rows(), 1);
    EXPECT_EQ(form.itemGrid.TextMatrix(0, 1), header);
    EXPECT_EQ(form.itemGrid.RowMarkCount(), 0u);
    EXPECT_EQ(
        form.gridTabs.TabCaption,
        (std::vector<std::string>{"Item            ", "Ledger            ", "Account Group"}));
}

}  // namespace
}  // namespace ledgerlift
