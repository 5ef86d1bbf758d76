#include "platform/InputFile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <thread>

#include "platform/FileOpenError.h"
#include "platform/HostileFiles.h"
#include "platform/WholeFile.h"
#include "support/TempFolder.h"

namespace {

using testsupport::TempFolder;

// A named pipe nobody writes to: were it opened for reading without care, the test would wait
// forever. Should that happen, this opens it for writing after a while and closes it again, so
// the reader gets an end of file and the test fails instead of hanging.
class PipeWatchdog {
 public:
  explicit PipeWatchdog(std::string path) : path_(std::move(path)) {
    thread_ = std::thread([this] {
      for (int i = 0; i < 100 && !done_; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      if (done_) return;
      const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) ::close(fd);
    });
  }
  ~PipeWatchdog() {
    done_ = true;
    thread_.join();
  }

 private:
  std::string path_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

struct HostileInput {
  const char* Name;
  std::function<bool(const std::string& path)> Make;
  int Error;
  const char* Reason;
};

// Every kind of name that is not a readable regular file: each is refused before anything is
// read, with a reason that says what it is, by every way of reading an input.
TEST(InputFile, RefusesWhatIsNoRegularFileSayingWhatItIs) {
  TempFolder folder;
  const auto linkTo = [&folder](const std::string& target, std::function<bool(std::string)> make) {
    return [&folder, target, make](const std::string& path) {
      return make(folder / target) && ::symlink((folder / target).c_str(), path.c_str()) == 0;
    };
  };
  const auto fifo = [](const std::string& p) { return hostile::MakeFifo(p); };
  const auto zeros = [](const std::string& p) { return hostile::MakeCharDevice(p, 1, 5); };
  const HostileInput cases[] = {
      {"missing", [](const std::string&) { return true; }, ENOENT, "No such file or directory"},
      {"folder", [](const std::string& p) { return std::filesystem::create_directory(p); }, EISDIR,
       "It is a folder, not a file."},
      {"fifo", fifo, EINVAL, "It is a named pipe (FIFO), not a regular file."},
      {"link to fifo", linkTo("fifo-target", fifo), EINVAL,
       "It is a named pipe (FIFO), not a regular file."},
      {"socket", [](const std::string& p) { return hostile::MakeSocket(p); }, EINVAL,
       "It is a socket, not a regular file."},
      {"zero device", zeros, EINVAL, "It is a character device, not a regular file."},
      {"link to zero device", linkTo("zero-target", zeros), EINVAL,
       "It is a character device, not a regular file."},
      {"block device", [](const std::string& p) { return hostile::MakeBlockDevice(p); }, EINVAL,
       "It is a block device, not a regular file."},
      {"dangling link",
       [&folder](const std::string& p) {
         return ::symlink((folder / "nowhere").c_str(), p.c_str()) == 0;
       },
       ENOENT, "No such file or directory"},
  };
  for (const HostileInput& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = folder / c.Name;
    if (!c.Make(path)) {
      ADD_FAILURE() << "cannot make " << c.Name << ": " << std::strerror(errno);
      continue;
    }
    const PipeWatchdog watchdog(path);
    const std::string message = "Cannot open file \"" + path + "\". " + c.Reason;
    try {
      (void)platform::ReadInputFile(path, platform::kMaxSourceFileBytes);
      ADD_FAILURE() << "read";
    } catch (const platform::FileOpenError& e) {
      EXPECT_EQ(e.what(), message);
      EXPECT_EQ(e.Error(), c.Error);
    }
    try {
      (void)platform::ReadFileToOpen(path);
      ADD_FAILURE() << "read to open";
    } catch (const platform::FileOpenError& e) {
      EXPECT_EQ(e.what(), message);
    }
    const std::optional<platform::InputProblem> problem =
        platform::CheckInputFile(path, platform::kMaxSourceFileBytes);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->Error, c.Error);
    EXPECT_EQ(problem->Reason, c.Reason);
    errno = 0;
    EXPECT_FALSE(platform::ReadWholeFile(path).has_value());
    EXPECT_EQ(errno, c.Error);
  }
}

// A file over its limit is refused from its size alone: a sparse file of 2 GiB is refused at
// once, without its gigabytes ever being read into memory.
TEST(InputFile, RefusesAFileOverItsLimitBeforeReadingIt) {
  TempFolder folder;
  const std::string huge = folder / "huge.html";
  hostile::MakeSparse(huge, "<html><body>", uint64_t{2} << 30);
  const uint64_t peakBefore = hostile::PeakMemory();
  try {
    (void)platform::ReadFileToOpen(huge);
    FAIL() << "read";
  } catch (const platform::FileOpenError& e) {
    EXPECT_EQ(e.Error(), EFBIG);
    EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + huge +
                                         "\". The file is too large: 2 GiB, more than the limit "
                                         "of 1 GiB.");
  }
  EXPECT_FALSE(platform::ReadWholeFile(huge).has_value());
  EXPECT_EQ(errno, EFBIG);
  EXPECT_LT(hostile::PeakMemory(), peakBefore + (64 << 20));

  // The limit itself is allowed, one byte more is not; the two kinds have their own limits.
  const std::string edge = folder / "edge.jpg";
  hostile::MakeSparse(edge, "", 1000);
  EXPECT_EQ(platform::ReadInputFile(edge, 1000).size(), 1000u);
  EXPECT_EQ(platform::CheckInputFile(edge, 999)->Error, EFBIG);
  hostile::MakeSparse(edge, "", platform::kMaxPictureFileBytes + 1);
  EXPECT_EQ(platform::CheckInputFile(edge, platform::kMaxPictureFileBytes)->Reason,
            "The file is too large: 268435457 bytes, more than the limit of 268435456 bytes.");
  EXPECT_FALSE(platform::CheckInputFile(edge, platform::kMaxSourceFileBytes).has_value());
}

TEST(InputFile, ReadsRegularFilesAndLinksToThemWhole) {
  TempFolder folder;
  std::string bytes(200000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  const std::string real = folder / "real.html";
  {
    FILE* f = std::fopen(real.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  const std::string link = folder / "link.html";
  ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
  const std::string empty = folder / "empty.html";
  hostile::MakeSparse(empty, "", 0);

  EXPECT_EQ(platform::ReadInputFile(real, platform::kMaxSourceFileBytes), bytes);
  EXPECT_EQ(platform::ReadFileToOpen(link), bytes);
  EXPECT_EQ(platform::ReadWholeFile(link), bytes);
  EXPECT_EQ(platform::ReadFileToOpen(empty), "");
  EXPECT_FALSE(platform::CheckInputFile(link, platform::kMaxSourceFileBytes).has_value());

  const platform::InputFile file(real, platform::kMaxSourceFileBytes);
  EXPECT_EQ(file.Size(), bytes.size());
  EXPECT_EQ(file.ReadAt(199990, 100), bytes.substr(199990)) << "short at the end";
  EXPECT_EQ(file.ReadAt(5, 3), bytes.substr(5, 3));
}

TEST(InputFile, DescribesSizesForMessages) {
  const std::pair<uint64_t, const char*> cases[] = {
      {0, "0 bytes"},
      {1, "1 byte"},
      {1023, "1023 bytes"},
      {1024, "1 KiB"},
      {1536, "1.5 KiB"},
      {(uint64_t{256} << 20) + 1, "256 MiB"},  // never rounded up past the figure it is over
      {(uint64_t{1} << 30) - 1, "1023.9 MiB"},
      {uint64_t{2} << 30, "2 GiB"},
      {uint64_t{3} << 40, "3 TiB"},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(platform::DescribeSize(bytes), text) << bytes;
}

}  // namespace
