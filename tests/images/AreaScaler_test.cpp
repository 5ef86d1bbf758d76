#include "images/AreaScaler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "Fixtures.h"

namespace {

// The exact box filter in double precision, one destination pixel at a time.
images::Raster Reference(const images::Raster& src, int w, int h) {
  images::Raster out(w, h);
  const double sx = static_cast<double>(src.Width) / w, sy = static_cast<double>(src.Height) / h;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      double acc[3] = {0, 0, 0};
      const double x0 = x * sx, x1 = (x + 1) * sx, y0 = y * sy, y1 = (y + 1) * sy;
      for (int j = static_cast<int>(y0); j < src.Height && j < y1; ++j) {
        const double wy = std::min<double>(j + 1, y1) - std::max<double>(j, y0);
        for (int i = static_cast<int>(x0); i < src.Width && i < x1; ++i) {
          const double wx = std::min<double>(i + 1, x1) - std::max<double>(i, x0);
          for (int c = 0; c < 3; ++c) acc[c] += wx * wy * src.Pixel(i, j)[c];
        }
      }
      for (int c = 0; c < 3; ++c) {
        out.Pixel(x, y)[c] = static_cast<uint8_t>(std::lround(acc[c] / (sx * sy)));
      }
    }
  }
  return out;
}

TEST(AreaScaler, AveragesTheCoveredAreaExactly) {
  // Three pixels into two: each destination pixel covers one and a half source pixels.
  images::Raster row(3, 1);
  const uint8_t values[] = {0, 90, 180};
  for (int x = 0; x < 3; ++x) std::fill_n(row.Pixel(x, 0), 3, values[x]);
  const images::Raster two = images::ScaleArea(row, 2, 1);
  EXPECT_EQ(two.Pixel(0, 0)[0], 30);   // (0 + 90 / 2) / 1.5
  EXPECT_EQ(two.Pixel(1, 0)[0], 150);  // (90 / 2 + 180) / 1.5

  // A uniform picture stays uniform at any size, growing or shrinking.
  images::Raster grey(37, 23);
  std::fill(grey.Rgb.begin(), grey.Rgb.end(), 201);
  for (auto [w, h] : {std::pair{5, 3}, {37, 23}, {74, 46}, {1, 1}, {36, 1}}) {
    const images::Raster out = images::ScaleArea(grey, w, h);
    ASSERT_EQ(out.Width, w);
    ASSERT_EQ(out.Height, h);
    EXPECT_EQ(fixtures::MaxDifference(out, images::Raster(w, h, 201)), 0) << w << "x" << h;
  }
}

TEST(AreaScaler, MatchesThePlainBoxFilterOnNoise) {
  std::mt19937 rng(11);
  images::Raster noise(61, 47);
  for (uint8_t& b : noise.Rgb) b = static_cast<uint8_t>(rng());
  for (auto [w, h] : {std::pair{30, 20}, {7, 9}, {61, 1}, {1, 47}, {60, 46}, {2, 2}, {122, 94}}) {
    const images::Raster got = images::ScaleArea(noise, w, h);
    EXPECT_LE(fixtures::MaxDifference(got, Reference(noise, w, h)), 1) << w << "x" << h;
  }
}

TEST(AreaScaler, RefusesBadSizesAndMisfedRows) {
  EXPECT_THROW(images::AreaScaler(0, 5, 1, 1), std::invalid_argument);
  EXPECT_THROW(images::AreaScaler(5, 5, 1, 0), std::invalid_argument);
  images::AreaScaler scaler(2, 1, 1, 1);
  const uint8_t row[6] = {};
  scaler.PushRow(row);
  EXPECT_THROW(scaler.PushRow(row), std::logic_error);
  images::AreaScaler unfinished(2, 2, 1, 1);
  unfinished.PushRow(row);
  EXPECT_THROW(unfinished.Finish(), std::logic_error);
}

}  // namespace
