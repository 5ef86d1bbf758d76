#pragma once
// Whole-file reading and writing for pictures. Picture files are opened through
// platform::InputFile: only regular files of at most platform::kMaxPictureFileBytes (256 MiB) are
// read, and a picture whose header announces a size beyond the pixel limits is refused after
// reading its first bytes, before the rest of the file.

#include <functional>
#include <string>
#include <string_view>

#include "images/DecodeError.h"

namespace images {

// Checks the picture file as ReadPictureFile does without reading past its header.
// Throws ImageError when the file is missing, not a regular file or unreadable, and
// ImageDecodeError when it is larger than the limit or announces too large a picture; every
// message names the file.
void CheckPictureFile(const std::string& path, const DecodeLimits& limits = {});

// The file's bytes after the checks of CheckPictureFile; throws as it does.
std::string ReadPictureFile(const std::string& path, const DecodeLimits& limits = {});

// Where pictures that are left out are reported: the command line prints the message, the
// window shows it. Unset: they are left out silently.
using PictureProblemFn = std::function<void(std::string_view message)>;

// Checks the picture file (CheckPictureFile). One that is missing or cannot be read is reported
// ("<reason> The picture is left out.") and gives false; one too large raises ImageDecodeError.
bool UsablePictureFile(const std::string& path, const PictureProblemFn& onProblem,
                       const DecodeLimits& limits = {});

// Writes (or overwrites) the file; throws ImageError when it cannot be written.
void WritePictureFile(const std::string& path, std::string_view bytes);

// The message of a picture that cannot be decoded, with its file named:
// "Picture \"<path>\": <reason>".
std::string PictureErrorMessage(const std::string& path, std::string_view reason);

// Runs `decode`; an ImageDecodeError it raises is raised again with the picture's file named.
template <class Decode>
decltype(auto) DecodeNamingFile(const std::string& path, Decode&& decode) {
  try {
    return decode();
  } catch (const ImageDecodeError& e) {
    throw ImageDecodeError(PictureErrorMessage(path, e.what()));
  }
}

}  // namespace images
