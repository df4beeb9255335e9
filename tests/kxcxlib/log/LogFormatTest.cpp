#include "log/kxLogFormat.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdarg>
#include <sstream>
#include <thread>

namespace {

std::string fmt(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = LogFormat::format(format, args);
    va_end(args);
    return text;
}

}  // namespace

TEST(LogFormat, SupportedConversionsPrintTheirArguments) {
    EXPECT_EQ(fmt("n=%d c=%c s=%s", -42, 'x', "text"), "n=-42 c=x s=text");
    EXPECT_EQ(fmt("%f|%e|%g", 1.5, 1.5, 1.5), "1.500000|1.500000e+00|1.5");
    EXPECT_EQ(fmt("%.2f and %.0x", 3.14159, 2.5), "3.14 and 2");
}

TEST(LogFormat, FloatingValuesAreNarrowedToFloatPrecision) {
    // 16777217 is the first integer a float cannot hold.
    EXPECT_EQ(fmt("%f", 16777217.0), "16777216.000000");
}

TEST(LogFormat, UnsupportedConversionPrintsNothingAndTakesNoArgument) {
    EXPECT_EQ(fmt("value %x", 5), "value ");
    EXPECT_EQ(fmt("%x%d", 7), "7");
    EXPECT_EQ(fmt("%ld", 9), "d");
    EXPECT_EQ(fmt("100%% sure"), "100 sure");
}

TEST(LogFormat, CutShortOrOddConversionsAreSafe) {
    EXPECT_EQ(fmt("end %"), "end ");
    EXPECT_EQ(fmt("end %."), "end ");
    EXPECT_EQ(fmt("end %.2"), "end ");
    // "%.*f" would read an int argument in printf; here it takes nothing.
    EXPECT_EQ(fmt("%.*f%d", 4), "4");
    EXPECT_EQ(fmt("%s", static_cast<const char*>(nullptr)), "(null)");
}

TEST(LogFormat, LongStringIsCutAtTheScratchSize) {
    const std::string big(40000, 'a');
    EXPECT_EQ(fmt("%s", big.c_str()).size(), 32766u);
}

TEST(LogFormat, StampsAreKeptForExpansion) {
    EXPECT_EQ(fmt("%D %P %t %d", 1), "%D %P %t 1");
}

TEST(LogFormat, ExpandStampsFillsDateProcessAndThread) {
    std::ostringstream thread;
    thread << std::this_thread::get_id();
    const std::string text = LogFormat::expandStamps("[%D] [%P] [%t] [%P]");
    const std::string pid = std::to_string(getpid());
    EXPECT_EQ(text.substr(text.size() - pid.size() - 1), pid + "]");
    EXPECT_NE(text.find("[" + thread.str() + "]"), std::string::npos);
    EXPECT_THAT(text, testing::ContainsRegex("^\\[[0-9]{4}-[A-Z][a-z]{2}-[0-9]{2} "
                                             "[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{6}\\] "));
}
