#pragma once
// Area-averaging resampling: every destination pixel is the mean of the source area it covers,
// partly covered source pixels counting by the fraction covered (an exact box filter). Rows are
// pushed top to bottom, so a decoder can feed its rows without holding the whole source.

#include <cstdint>
#include <vector>

#include "images/Raster.h"

namespace images {

class AreaScaler {
 public:
  // Sizes must be positive.
  AreaScaler(int sourceWidth, int sourceHeight, int width, int height);

  // One source row of sourceWidth RGB pixels; exactly sourceHeight calls in all.
  void PushRow(const uint8_t* rgb);
  // The destination picture once every source row has been pushed.
  Raster Finish();

 private:
  // The source pixels one destination pixel (or row) covers, with their weights.
  struct Span {
    int First = 0;
    int Count = 0;
    size_t WeightIndex = 0;
  };
  static void MakeSpans(int source, int dest, std::vector<Span>& spans,
                        std::vector<float>& weights);

  int sourceWidth_, sourceHeight_;
  Raster out_;
  std::vector<Span> columns_, rows_;
  std::vector<float> columnWeights_, rowWeights_;
  std::vector<float> scaledRow_;  // the current source row scaled horizontally
  std::vector<float> open_;       // accumulators of the destination rows still being filled
  int openRows_ = 1;              // ring size of open_, in rows
  int rowsIn_ = 0;
  int firstOpen_ = 0;  // the first destination row not yet written out
};

// Scales the whole picture to width x height.
Raster ScaleArea(const Raster& source, int width, int height);

}  // namespace images
