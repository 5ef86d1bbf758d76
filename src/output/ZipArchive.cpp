#include "output/ZipArchive.h"

#include <sys/stat.h>
#include <zip.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "output/AtomicFile.h"
#include "platform/WholeFile.h"

namespace output {
namespace {

struct SourceFree {
  void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using SourcePtr = std::unique_ptr<zip_source_t, SourceFree>;

struct ArchiveDiscard {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ArchivePtr = std::unique_ptr<zip_t, ArchiveDiscard>;

[[noreturn]] void Fail(const std::string& archivePath, zip_error_t* error) {
  std::string reason = zip_error_strerror(error);
  zip_error_fini(error);
  throw SaveError(CannotCreateMessage(archivePath, reason));
}

[[noreturn]] void Fail(const std::string& archivePath, zip_t* archive) {
  throw SaveError(CannotCreateMessage(archivePath, zip_error_strerror(zip_get_error(archive))));
}

[[noreturn]] void Fail(const std::string& archivePath, zip_source_t* source) {
  throw SaveError(CannotCreateMessage(archivePath, zip_error_strerror(zip_source_error(source))));
}

}  // namespace

std::string UpdateZipArchive(std::string_view existing, std::string_view entryName,
                             std::string_view bytes, const std::string& archivePath) {
  zip_error_t error;
  zip_error_init(&error);
  // The archive is built in memory: the buffer source receives the new archive on close. It
  // gets its own copy of the old bytes, since writing into the source releases its old buffer.
  void* copy = nullptr;
  if (!existing.empty()) {
    copy = std::malloc(existing.size());
    if (copy == nullptr) throw std::bad_alloc();
    std::memcpy(copy, existing.data(), existing.size());
  }
  SourcePtr archiveSource(zip_source_buffer_create(copy, existing.size(), 1, &error));
  if (!archiveSource) {
    std::free(copy);
    Fail(archivePath, &error);
  }
  zip_source_keep(archiveSource.get());
  ArchivePtr archive(zip_open_from_source(archiveSource.get(), ZIP_CREATE, &error));
  if (!archive) {
    zip_source_free(archiveSource.get());  // the reference meant for the archive
    Fail(archivePath, &error);
  }
  zip_error_fini(&error);

  zip_source_t* entrySource =
      zip_source_buffer(archive.get(), bytes.empty() ? nullptr : bytes.data(), bytes.size(), 0);
  if (entrySource == nullptr) Fail(archivePath, archive.get());
  std::string name(entryName);
  zip_int64_t index =
      zip_file_add(archive.get(), name.c_str(), entrySource, ZIP_FL_OVERWRITE | ZIP_FL_ENC_GUESS);
  if (index < 0) {
    zip_source_free(entrySource);
    Fail(archivePath, archive.get());
  }
  if (zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                               kZipDeflateLevel) != 0)
    Fail(archivePath, archive.get());
  if (zip_close(archive.get()) != 0) Fail(archivePath, archive.get());
  archive.release();  // closed

  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_source_stat(archiveSource.get(), &stat) != 0) Fail(archivePath, archiveSource.get());
  if (zip_source_open(archiveSource.get()) != 0) Fail(archivePath, archiveSource.get());
  std::string result(static_cast<size_t>(stat.size), '\0');
  zip_int64_t read = zip_source_read(archiveSource.get(), result.data(), result.size());
  zip_source_close(archiveSource.get());
  if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size)
    Fail(archivePath, archiveSource.get());
  return result;
}

void WriteZipEntry(const std::string& archivePath, std::string_view entryName,
                   std::string_view bytes) {
  std::string existing;
  struct stat info {};
  // Only a regular file holds an earlier archive; a device or a pipe is written through, and
  // what cannot be written is refused, by WriteFileAtomically.
  if (stat(archivePath.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
    if (const auto problem = platform::CheckInputFile(archivePath, platform::kMaxSourceFileBytes))
      throw SaveError(CannotCreateMessage(archivePath, problem->Reason));
    std::optional<std::string> text = platform::ReadWholeFile(archivePath);
    if (!text) throw SaveError(CannotCreateMessage(archivePath, std::strerror(errno)));
    existing = std::move(*text);
  }
  WriteFileAtomically(archivePath, UpdateZipArchive(existing, entryName, bytes, archivePath));
}

}  // namespace output
