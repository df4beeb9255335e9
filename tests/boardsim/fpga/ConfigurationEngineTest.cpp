// The FPGA's configuration engine fed a stream directly: what it says about an incomplete one.
#include "fpga/ConfigurationEngine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "firmware/BitstreamBuilder.h"

using boardsim::BitstreamBuilder;
using Bytes = std::vector<uint8_t>;

TEST(ConfigurationEngine, SaysWhyAStreamIsNotComplete) {
    BitstreamBuilder builder;
    const Bytes stream = builder.build();
    boardsim::ConfigurationEngine engine(0x0A51C0DD);
    EXPECT_EQ(engine.problem(), "no sync word");
    engine.feed(Bytes(stream.begin(), stream.begin() + 200));
    EXPECT_EQ(engine.problem(), "stream ended early");
    engine.feed(Bytes(stream.begin() + 200, stream.end()));
    EXPECT_EQ(engine.problem(), "");
    EXPECT_EQ(engine.version(), 0x0130);
    engine.reset();
    Bytes noStart = stream;
    // A packet header no engine knows, right after the sync word and its no-op.
    noStart[40] = 0xE0;
    engine.feed(noStart);
    EXPECT_FALSE(engine.complete());
    EXPECT_TRUE(engine.failed());
}
