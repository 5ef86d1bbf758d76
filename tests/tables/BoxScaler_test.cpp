#include "tables/BoxScaler.h"

#include <gtest/gtest.h>

namespace tables {
namespace {

TEST(FitWithin, KeepsProportionsInsideTheLimits) {
  struct Case {
    int64_t w, h;
    int maxW, maxH;
    PictureSize fitted;
  } cases[] = {
      {1000, 500, 580, 700, {580, 290}},
      {600, 2000, 580, 700, {210, 700}},
      {580, 700, 580, 700, {580, 700}},
      {2000, 1400, 580, 700, {580, 406}},  // both too big, width decides
      {1000, 2000, 580, 700, {350, 700}},  // both too big, height decides
      {1160, 1400, 580, 700, {580, 700}},  // equal ratios
      {65000, 10, 580, 700, {580, 1}},     // never below one pixel
      {5000, 5000, 0, 700, {5000, 5000}},  // a limit of 0 or less: unchanged
      {5000, 5000, 580, -1, {5000, 5000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    EXPECT_EQ(FitWithin(c.w, c.h, c.maxW, c.maxH), c.fitted);
  }
}

images::Raster Stripes(int width, int height) {
  images::Raster r(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = r.Pixel(x, y);
      p[0] = (x % 2) ? 255 : 0;
      p[1] = (y % 2) ? 255 : 0;
      p[2] = static_cast<uint8_t>(x * 10);
    }
  }
  return r;
}

TEST(BoxScaler, AveragesTheExactAreaEachPixelCovers) {
  // Three source columns 0, 255, 0 onto two: each target pixel covers one and a half.
  images::Raster source = Stripes(3, 2);
  BoxScaler scaler(3, 2, 2, 1);
  scaler.AddRows(source, 0);
  const images::Raster out = scaler.Finish();
  ASSERT_EQ(out.Width, 2);
  ASSERT_EQ(out.Height, 1);
  EXPECT_EQ(out.Pixel(0, 0)[0], 85);  // (0 + 255 / 2) / 1.5
  EXPECT_EQ(out.Pixel(1, 0)[0], 85);
  EXPECT_EQ(out.Pixel(0, 0)[1], 128);  // rows 0 and 255 averaged, rounded
  EXPECT_EQ(out.Pixel(0, 0)[2], 3);    // (0 + 10 / 2) / 1.5
  EXPECT_EQ(out.Pixel(1, 0)[2], 17);   // (10 / 2 + 20) / 1.5
}

TEST(BoxScaler, BandsGiveTheSamePictureAsOneWhole) {
  const images::Raster source = Stripes(37, 53);
  BoxScaler whole(37, 53, 11, 7);
  whole.AddRows(source, 0);
  BoxScaler banded(37, 53, 11, 7);
  for (int top = 0; top < 53; top += 5) {
    const int rows = std::min(5, 53 - top);
    images::Raster band(37, rows);
    std::copy(source.Pixel(0, top), source.Pixel(0, top) + 37 * 3 * rows, band.Rgb.begin());
    banded.AddRows(band, top);
  }
  EXPECT_EQ(whole.Finish().Rgb, banded.Finish().Rgb);
}

}  // namespace
}  // namespace tables
