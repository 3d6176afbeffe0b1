// Straight-alpha pixels over an opaque colour, rounded to the nearest value.
#include <gtest/gtest.h>

#include <vector>

#include "convert/pixel_compositing.h"

namespace {

struct BlendCase {
  int source, background, alpha, expected;
};

const BlendCase BLEND_CASES[] = {
    {200, 100, 0, 100},  // fully transparent: the background alone
    {200, 100, 255, 200},  // opaque: the source alone
    {255, 0, 128, 128},  // 127.5 + 0.5 rounds up
    {0, 255, 128, 127},  // 127.0 stays
    {10, 250, 1, 249},   {250, 10, 254, 249}, {77, 77, 99, 77},
    {255, 0, 1, 1},      {0, 255, 254, 1},
};

TEST(PixelCompositingTest, ChannelIsTheRoundedMixOfSourceAndBackground) {
  for (const BlendCase& c : BLEND_CASES)
    EXPECT_EQ(c.expected, BlendChannel(static_cast<uint8_t>(c.source),
                                       static_cast<uint8_t>(c.background),
                                       static_cast<uint8_t>(c.alpha)))
        << c.source << " over " << c.background << " at " << c.alpha;
}

TEST(PixelCompositingTest, RowKeepsBlueFirstAndWritesNothingPastItsWidth) {
  const uint8_t bgra[] = {10, 20, 30, 255,  // opaque
                          200, 100, 50, 0,  // transparent
                          255, 0, 128, 128};
  const OpaqueColor background = {40, 80, 160};
  std::vector<uint8_t> bgr(3 * 3 + 2, 0xEE);
  CompositeBgraRow(bgra, 3, background, bgr.data());
  EXPECT_EQ((std::vector<uint8_t>{10, 20, 30, 40, 80, 160, 148, 40, 144, 0xEE, 0xEE}), bgr);
}

}  // namespace
