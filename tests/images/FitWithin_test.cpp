#include "images/FitWithin.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  int W, H, MW, MH;
  int ExpectW, ExpectH;
};

TEST(FitWithin, KeepsProportionsWithinBothLimits) {
  const Case cases[] = {
      {1000, 500, 580, 700, 580, 290},  // too wide
      {600, 2000, 580, 700, 210, 700},  // both too large, height ratio the larger
      {2000, 600, 580, 700, 580, 174},  // only too wide
      {580, 700, 580, 700, 580, 700},   // limits are inclusive
      {10, 10, 580, 700, 10, 10},       {400, 1400, 580, 700, 200, 700},  // only too tall
      {1160, 1400, 580, 700, 580, 700},                                   // equal ratios
      {581, 700, 580, 700, 580, 699},                                     // 698.8 rounds up
      {200, 5, 100, 100, 100, 2},  // 2.5: ties go to the even neighbour
      {200, 7, 100, 100, 100, 4},  // 3.5
      {5, 200, 100, 100, 2, 100},       {100000, 10, 580, 700, 580, 1},  // never below one pixel
      {10, 100000, 580, 700, 1, 700},
  };
  for (const Case& c : cases) {
    const images::PictureSize got = images::FitWithin(c.W, c.H, c.MW, c.MH);
    EXPECT_EQ(got, (images::PictureSize{c.ExpectW, c.ExpectH}))
        << c.W << "x" << c.H << " in " << c.MW << "x" << c.MH << " gave " << got.Width << "x"
        << got.Height;
  }
}

}  // namespace
