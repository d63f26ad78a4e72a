#include "calendar/date_cn_line.h"

#include <gtest/gtest.h>

#include "base/date_time.h"

namespace plumo::DateCn {
namespace {

TEST(DayLine, FieldsInOrderWithEmptyOnesKept) {
    EXPECT_EQ(DayLine(encodeDate(2011, 5, 12)),
              "2011-05-12\t410\t四月\t初十\t\t\t\t辛卯兔\t金牛座");
    // 芒种 and 端午节 on one day.
    EXPECT_EQ(DayLine(encodeDate(2011, 6, 6)),
              "2011-06-06\t505\t五月\t初五\t芒种\t端午节\t\t辛卯兔\t双子座");
    EXPECT_EQ(DayLine(encodeDate(2011, 10, 1)),
              "2011-10-01\t905\t九月\t初五\t\t\t国庆节\t辛卯兔\t天秤座");
    EXPECT_EQ(DayLine(encodeDate(2034, 1, 1)),
              "2034-01-01\t-1111\t闰冬\t十一\t\t\t元旦节\t癸丑牛\t摩羯座");
    EXPECT_EQ(DayLine(encodeDateTime(2011, 2, 2, 18, 30, 0)),
              "2011-02-02\t1230\t腊月\t三十\t\t除夕\t\t庚寅虎\t水瓶座");
}

}  // namespace
}  // namespace plumo::DateCn
