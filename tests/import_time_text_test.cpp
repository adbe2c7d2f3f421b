// Minutes after midnight of the time texts of DIASHORAST.
#include "import/period_lookup.h"

#include <gtest/gtest.h>

TEST(ImportTimeText, MinutesAfterMidnightOfATimeText)
{
    const std::vector<std::pair<const char *, int>> cases = {
        {"08:30", 510},
        {"8:30", 510},
        {"14:05", 845},
        {"", 0},
        {"00:00", 0},
        {"23:59", 1439},
        {"8", 488},
        {"08:30:00", 480},
        {" 8:30", 510},
    };
    for (const auto &[text, minutes] : cases)
        EXPECT_EQ(minutesOfTimeText(QString::fromUtf8(text)), std::optional<int>(minutes)) << text;
}

TEST(ImportTimeText, APartThatIsNoWholeNumberIsNamed)
{
    const std::vector<std::pair<const char *, const char *>> cases = {
        {"8h:30", "8h"},
        {"08:3m", "3m"},
        {"9:5", ":5"},
        {"ab", "0a"},
        {"12:3", ":3"},
    };
    for (const auto &[text, part] : cases) {
        QString bad;
        EXPECT_EQ(minutesOfTimeText(QString::fromUtf8(text), &bad), std::nullopt) << text;
        EXPECT_EQ(bad, QString::fromUtf8(part)) << text;
    }
}
