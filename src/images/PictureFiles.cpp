#include "images/PictureFiles.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "images/PictureHeader.h"
#include "platform/FileOpenError.h"
#include "platform/InputFile.h"

namespace images {

namespace {

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

// Opens the file and checks its header; `read` then gets the open file.
template <class Read>
auto OpenChecked(const std::string& path, const DecodeLimits& limits, Read&& read) {
  try {
    const platform::InputFile file(path, platform::kMaxPictureFileBytes);
    const std::optional<PictureHeader> header = ScanPictureHeader(
        [&file](uint64_t offset, size_t count) { return file.ReadAt(offset, count); });
    // Empty sizes are left to the decoder, which knows what it can take.
    if (header && header->Width > 0 && header->Height > 0) {
      DecodeNamingFile(
          path, [&] { CheckPictureSize(header->Width, header->Height, limits, header->Kind); });
    }
    return read(file);
  } catch (const platform::FileOpenError& e) {
    // A file over the size limit is a picture too large to use, as one of too many pixels is.
    if (e.Error() == EFBIG) throw ImageDecodeError(e.what());
    throw ImageError(e.what());
  }
}

}  // namespace

std::string PictureErrorMessage(const std::string& path, std::string_view reason) {
  return "Picture \"" + path + "\": " + std::string(reason);
}

void CheckPictureFile(const std::string& path, const DecodeLimits& limits) {
  OpenChecked(path, limits, [](const platform::InputFile&) { return 0; });
}

std::string ReadPictureFile(const std::string& path, const DecodeLimits& limits) {
  return OpenChecked(path, limits, [](const platform::InputFile& file) { return file.ReadAll(); });
}

bool UsablePictureFile(const std::string& path, const PictureProblemFn& onProblem,
                       const DecodeLimits& limits) {
  try {
    CheckPictureFile(path, limits);
    return true;
  } catch (const ImageDecodeError&) {
    throw;
  } catch (const ImageError& e) {
    std::string message = e.what();
    if (!message.ends_with('.')) message += '.';  // the system's reasons end without one
    if (onProblem) onProblem(message + " The picture is left out.");
    return false;
  }
}

void WritePictureFile(const std::string& path, std::string_view bytes) {
  File file(std::fopen(path.c_str(), "wb"), std::fclose);
  bool ok = file != nullptr;
  if (ok) ok = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  if (ok) ok = std::fclose(file.release()) == 0;
  if (!ok) throw ImageError("cannot write the picture " + path);
}

}  // namespace images
