#include "pages/key_name.h"

#include <gtest/gtest.h>

TEST(KeyName, CaptionsByCode)
{
    const struct {
        int code;
        const char *caption;
    } cases[] = {
        {38, "UP ARROW "}, {175, "Volume Up "}, {96, "0"},  {48, "0"},   {105, "9"},
        {107, "+"},        {187, "+"},          {65, "A"},  {90, "Z"},   {112, "F1"},
        {135, "F24"},      {166, "Browser Back"}, {167, "Browser Forward"}, {220, "\\"},
        {160, "Left SHIFT"}, {255, "Fn"},       {3, ""},    {136, ""},   {-1, ""}, {256, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(KeyName(c.code), QString::fromLatin1(c.caption)) << c.code;
}

TEST(KeyName, HoldsAllEntries)
{
    EXPECT_EQ(KeyNameCount(), 129);
}
