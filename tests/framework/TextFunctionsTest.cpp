#include "framework/TextFunctions.h"
#include <gtest/gtest.h>

TEST(TextFunctions, NthFieldAndCountFields)
{
    const QString record = QStringLiteral("2005-11-24 00:00:00//Thanksgiving//Special");
    EXPECT_EQ(NthField(record, "//", 1), "2005-11-24 00:00:00");
    EXPECT_EQ(NthField(record, "//", 2), "Thanksgiving");
    EXPECT_EQ(NthField(record, "//", 3), "Special");
    EXPECT_EQ(NthField(record, "//", 4), "");
    EXPECT_EQ(NthField(record, "//", 0), "");
    EXPECT_EQ(NthField(record, "", 1), "");
    EXPECT_EQ(NthField("a;;c", ";", 2), "");
    EXPECT_EQ(NthField("a;;c", ";", 3), "c");
    EXPECT_EQ(NthField("xAbyABz", "ab", 2), "y");   // separators match ignoring case
    EXPECT_EQ(NthField(QString::fromUtf8("x\u00C4y"), QString::fromUtf8("\u00E4"), 2), "y");
    EXPECT_EQ(CountFields(record, "//"), 3);
    EXPECT_EQ(CountFields("", "//"), 0);
    EXPECT_EQ(CountFields("abc", "//"), 1);
    EXPECT_EQ(CountFields("a//", "//"), 2);
}

TEST(TextFunctions, InStrMidLeftRight)
{
    EXPECT_EQ(InStr("Holiday", "day"), 5);
    EXPECT_EQ(InStr("Holiday", "DAY"), 5);
    EXPECT_EQ(InStr("Holiday", "x"), 0);
    EXPECT_EQ(InStr(6, "day by day", "day"), 8);
    EXPECT_EQ(InStr("", "a"), 0);
    EXPECT_EQ(InStr("Lumora Tervin Edition", "tervin"), 8);
    EXPECT_EQ(Mid("calendar", 3, 3), "len");
    EXPECT_EQ(Mid("calendar", 3), "lendar");
    EXPECT_EQ(Mid("calendar", 20), "");
    EXPECT_EQ(Left("calendar", 3), "cal");
    EXPECT_EQ(Right("calendar", 3), "dar");
    EXPECT_EQ(Left("calendar", -1), "");
}

TEST(TextFunctions, ValStrAndTruncation)
{
    struct Case { const char* text; double value; };
    const Case cases[] = {
        {"1", 1}, {"01", 1}, {"1.0", 1}, {"  42abc", 42}, {"-40", -40}, {"abc", 0},
        {"", 0}, {"3.75", 3.75}, {".5", 0.5}, {"1e3", 1000}, {"+7", 7}, {"2;75;1", 2},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(Val(QString::fromLatin1(c.text)), c.value) << c.text;
    EXPECT_EQ(Str(250), "250");
    EXPECT_EQ(Str(-40), "-40");
    EXPECT_EQ(Str(2.0), "2");
    EXPECT_EQ(Str(2.5), "2.5");
    EXPECT_EQ(ToInt(2.9), 2);
    EXPECT_EQ(ToInt(-2.9), -2);
    EXPECT_EQ(ToInt(1e20), std::numeric_limits<int>::max());
    EXPECT_TRUE(TextEquals("TRUE", "True"));
    EXPECT_FALSE(TextEquals(" True", "True"));
}
