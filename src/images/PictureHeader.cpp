#include "images/PictureHeader.h"

#include <string_view>

namespace images {
namespace {

// Real files hold a few dozen segments before the frame header.
constexpr int kMaxJpegSegments = 10000;

unsigned Byte(std::string_view bytes, size_t at) {
  return static_cast<unsigned char>(bytes[at]);
}

int64_t BigEndian(std::string_view bytes, size_t at, size_t count) {
  int64_t value = 0;
  for (size_t i = 0; i < count; ++i) value = value << 8 | Byte(bytes, at + i);
  return value;
}

bool IsStartOfFrame(unsigned marker) {
  // SOF0-SOF15 but DHT (C4), JPG (C8) and DAC (CC), which share the range.
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<PictureHeader> ScanJpeg(const ReadAtFn& readAt) {
  uint64_t at = 2;
  for (int segment = 0; segment < kMaxJpegSegments; ++segment) {
    const std::string head = readAt(at, 4);
    if (head.size() < 2 || Byte(head, 0) != 0xFF) return std::nullopt;
    const unsigned marker = Byte(head, 1);
    if (marker == 0xFF) {  // fill byte
      at += 1;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // markers without a length
      at += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA || head.size() < 4) return std::nullopt;
    if (IsStartOfFrame(marker)) {
      const std::string frame = readAt(at + 4, 5);  // precision, height, width
      if (frame.size() < 5) return std::nullopt;
      return PictureHeader{"JPEG", BigEndian(frame, 3, 2), BigEndian(frame, 1, 2)};
    }
    at += 2 + static_cast<uint64_t>(BigEndian(head, 2, 2));
  }
  return std::nullopt;
}

}  // namespace

std::optional<PictureHeader> ScanPictureHeader(const ReadAtFn& readAt) {
  const std::string start = readAt(0, 24);
  const std::string_view view(start);
  if (view.size() >= 2 && Byte(view, 0) == 0xFF && Byte(view, 1) == 0xD8) return ScanJpeg(readAt);
  if (view.starts_with("\x89PNG\r\n\x1a\n") && view.size() >= 24 && view.substr(12, 4) == "IHDR")
    return PictureHeader{"PNG", BigEndian(view, 16, 4), BigEndian(view, 20, 4)};
  if ((view.starts_with("GIF87a") || view.starts_with("GIF89a")) && view.size() >= 10) {
    return PictureHeader{"GIF", Byte(view, 6) | Byte(view, 7) << 8,
                         Byte(view, 8) | Byte(view, 9) << 8};
  }
  return std::nullopt;
}

}  // namespace images
