#pragma once
// Shrinking a picture by area averaging: every destination pixel is the exact average of the
// source area it covers. Source rows arrive band by band, top to bottom, so the source picture
// never has to exist whole.

#include <cstdint>
#include <vector>

#include "images/Raster.h"

namespace tables {

struct PictureSize {
  int64_t Width = 0;
  int64_t Height = 0;
  bool operator==(const PictureSize&) const = default;
};

// The size a picture of width by height gets within the limits, keeping its proportions
// (rounded to the nearest pixel, ties to even, never below 1). A limit of 0 or less leaves the
// picture as it is.
PictureSize FitWithin(int64_t width, int64_t height, int maxWidth, int maxHeight);

class BoxScaler {
 public:
  BoxScaler(int64_t sourceWidth, int64_t sourceHeight, int targetWidth, int targetHeight);

  // Adds the rows of `band`, which holds source rows firstRow onwards; bands come in order.
  void AddRows(const images::Raster& band, int64_t firstRow);
  images::Raster Finish() const;

 private:
  struct Tap {
    int64_t First = 0;           // first source column
    std::vector<float> Weights;  // for the columns from First on
  };
  int64_t sourceWidth_, sourceHeight_;
  int targetWidth_, targetHeight_;
  std::vector<Tap> columns_;
  std::vector<float> row_;  // one source row, scaled horizontally
  std::vector<float> sum_;  // the target picture, accumulated
};

}  // namespace tables
