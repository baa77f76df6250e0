#include "reports/warnings.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "support/messages.h"
#include "support/profiles.h"

namespace dorvane {
namespace {

using testing::BoxKind;

// Keeps the warnings in order; any other box is a fault here.
testing::ScriptedMessages WarningLog() {
  testing::ScriptedMessages log([](const std::string& what) { ADD_FAILURE() << what; });
  log.Allow(BoxKind::Warning);
  return log;
}

TEST(CostWarnings, WarnOnlyAboveANumericThreshold) {
  const RegionalSettings us = test::Profile("EN_US");
  const RegionalSettings de = test::Profile("DE");
  struct Case {
    const RegionalSettings& rs;
    WarningSetting monthly;
    WarningSetting average;
    double monthCost;
    int monthCount;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {us,
       {true, "0"},
       {false, "0"},
       0.01,
       1,
       {"Costs for Online Time have reached $0.01 this month"}},
      {us, {true, "10"}, {false, "0"}, 10.0, 4, {}},  // equal is no warning
      {us,
       {true, "10"},
       {false, "0"},
       10.001,
       4,
       {"Costs for Online Time have reached $10.00 this month"}},
      {us, {false, "0"}, {false, "0"}, 99.0, 4, {}},
      {us,
       {true, "20"},
       {true, "2.5"},
       30.0,
       10,
       {"Costs for Online Time have reached $30.00 this month",
        "Average cost per call has reached $3.00 this month"}},
      {us,
       {true, "-1"},
       {true, "-1"},
       0.0,
       0,
       {"Costs for Online Time have reached $0.00 this month"}},  // no calls, no average
      {us,
       {true, "abc"},
       {true, "1"},
       30.0,
       10,
       {"Average cost per call has reached $3.00 this month"}},
      {us, {true, ""}, {false, "1"}, 30.0, 10, {}},
      {us, {true, "$5.00"}, {true, "1,000"}, 3000.0, 1, {}},  // a copied money text is no number
      {de,
       {true, "12,50"},
       {false, "0"},
       12.51,
       3,
       {"Costs for Online Time have reached 12,51 EUR this month"}},
      {de, {true, "12.50"}, {false, "0"}, 99.0, 3, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.monthly.thresholdText + " / " + c.average.thresholdText);
    testing::ScriptedMessages log = WarningLog();
    RunCostWarnings(c.rs, c.monthly, c.average, c.monthCost, c.monthCount, log);
    EXPECT_EQ(log.Texts(BoxKind::Warning), c.expected);
  }
}

TEST(CostWarnings, AFigureThatIsNoNumberWarnsOfNothing) {
  testing::ScriptedMessages log = WarningLog();
  RunCostWarnings(test::Profile("EN_US"), {true, "0"}, {true, "0"},
                  std::numeric_limits<double>::infinity(), 1, log);
  EXPECT_TRUE(log.Texts(BoxKind::Warning).empty());
}

}  // namespace
}  // namespace dorvane
