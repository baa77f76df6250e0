// Texts that read the same in every locale.
#include "platform/plaintext.h"

#include <gtest/gtest.h>

namespace dorvane {
namespace {

TEST(PlainText, DecimalNumbers) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {1.5, "1.5"},
      {-2, "-2"},
      {0.1 + 0.2, "0.3"},  // 15 significant digits hide the binary noise
      {1.0 / 3, "0.333333333333333"},
      {1234567.125, "1234567.125"},
      {1e20, "100000000000000000000"},
      {0.000012345, "0.000012345"},
      {-0.5, "-0.5"},
  };
  for (const auto& c : cases) EXPECT_EQ(PlainNumber(c.value), c.text) << c.text;
  // Messages quote a value as it reads back; whole numbers never take a separator.
  EXPECT_EQ(ShortestNumber(1e308), "1e+308");
  EXPECT_EQ(ShortestNumber(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(WholeNumber(-1234567), "-1234567");
}

TEST(PlainText, IsoDaysReadBackAndRefuseWhatIsNoDay) {
  for (const char* day : {"0001-01-01", "1999-01-12", "2000-02-29", "9999-12-31"}) {
    const std::optional<TDateTime> value = ParseIsoDay(day);
    ASSERT_TRUE(value) << day;
    EXPECT_EQ(IsoDayText(*value), day);
  }
  for (const char* bad : {"1999-1-12", "1999-01-12 ", "1999/01/12", "1999-02-29", "1999-13-01",
                          "0000-01-01", "+999-01-01", ""}) {
    EXPECT_FALSE(ParseIsoDay(bad)) << bad;
  }
}

TEST(PlainText, IsoStampsAndMonths) {
  const TDateTime day = EncodeDate(1999, 1, 12);
  EXPECT_EQ(IsoDateTime(day + EncodeTime(17, 58, 30, 250)), "1999-01-12T17:58:30");
  // Rounded to the millisecond first, as the window's texts are.
  EXPECT_EQ(IsoDateTime(day + 86399.9996 / 86400), "1999-01-13T00:00:00");
  EXPECT_EQ(IsoDateTime(EncodeDate(5, 3, 7)), "0005-03-07T00:00:00");
  EXPECT_EQ(IsoMonth(EncodeDate(1999, 12, 31) + 0.99), "1999-12");
}

TEST(PlainText, CsvFieldsQuoteOnlyWhatNeedsIt) {
  EXPECT_EQ(CsvField("plain.INI"), "plain.INI");
  EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
  EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
  EXPECT_EQ(HtmlEscape("<a href='x'>\"R&D\"</a>"),
            "&lt;a href=&#39;x&#39;&gt;&quot;R&amp;D&quot;&lt;/a&gt;");
}

}  // namespace
}  // namespace dorvane
