// Saving onto names that are not regular files: a device or a pipe is written into and stays
// what it is, never replaced by a regular file; what cannot take a book is refused untouched.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <functional>
#include <optional>
#include <set>
#include <thread>

#include "output/AtomicFile.h"
#include "output/Fb2Saving.h"
#include "platform/HostileFiles.h"
#include "platform/Interrupts.h"
#include "platform/WholeFile.h"
#include "support/TempFolder.h"
#include "support/Xml.h"

namespace output {
namespace {

using std::filesystem::file_type;
using testsupport::TempFolder;

const std::string kFb2 =
    "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
    "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\">"
    "<body><section><p>\xCF\xF0\xE8\xE2\xE5\xF2</p></section></body></FictionBook>";

struct HostileTarget {
  const char* Name;
  std::function<bool(const std::string& path)> Make;
  file_type TypeAfter;  // of the name, links followed
  bool Reader;          // a program reads the pipe while the book is saved
  const char* Failure;  // the reason of the error, or nullptr when the save succeeds
};

bool LinkTo(const std::string& path, const std::string& target) {
  return ::symlink(target.c_str(), path.c_str()) == 0;
}

TEST(HostileTargets, DevicesAndPipesAreWrittenThroughOthersRefusedNoneReplaced) {
  const HostileTarget cases[] = {
      {"null device", [](auto& p) { return hostile::MakeCharDevice(p, 1, 3); },
       file_type::character, false, nullptr},
      {"link to null device",
       [](auto& p) { return hostile::MakeCharDevice(p + ".dev", 1, 3) && LinkTo(p, p + ".dev"); },
       file_type::character, false, nullptr},
      {"full device", [](auto& p) { return hostile::MakeCharDevice(p, 1, 7); },
       file_type::character, false, "No space left on device"},
      {"fifo with a reader", [](auto& p) { return hostile::MakeFifo(p); }, file_type::fifo, true,
       nullptr},
      {"link to fifo with a reader",
       [](auto& p) { return hostile::MakeFifo(p + ".pipe") && LinkTo(p, p + ".pipe"); },
       file_type::fifo, true, nullptr},
      {"fifo without a reader", [](auto& p) { return hostile::MakeFifo(p); }, file_type::fifo,
       false, "No program is reading from the named pipe (FIFO)."},
      {"folder", [](auto& p) { return std::filesystem::create_directory(p); }, file_type::directory,
       false, "Is a directory"},
      {"socket", [](auto& p) { return hostile::MakeSocket(p); }, file_type::socket, false,
       "It is a socket; nothing is written to it."},
      {"block device", [](auto& p) { return hostile::MakeBlockDevice(p); }, file_type::block, false,
       "It is a block device; nothing is written to it."},
  };
  // Each target is saved to as a plain FB2 file and as the archive of a packed one.
  for (const bool packed : {false, true}) {
    for (const HostileTarget& c : cases) {
      SCOPED_TRACE(std::string(c.Name) + (packed ? ", packed" : ", plain"));
      TempFolder folder;
      const std::string fb2 = folder / "Tale.fb2";
      const std::string target = packed ? fb2 + ".zip" : fb2;
      if (!c.Make(target)) {
        ADD_FAILURE() << "cannot make the target: " << std::strerror(errno);
        continue;
      }
      const std::vector<std::string> namesBefore = folder.Names();
      std::optional<hostile::FifoReader> reader;
      if (c.Reader) reader.emplace(target);
      std::string error;
      try {
        WriteFb2File(fb2, kFb2, packed);
      } catch (const SaveError& e) {
        error = e.what();
      }
      if (c.Failure) {
        EXPECT_EQ(error, "Cannot create file \"" + target + "\". " + c.Failure);
      } else {
        EXPECT_EQ(error, "");
      }
      if (reader) {
        const std::string got = reader->Take();
        if (packed)
          EXPECT_TRUE(got.starts_with("PK\x03\x04")) << "the archive came through the pipe";
        else
          EXPECT_EQ(got, kFb2);
      }
      EXPECT_EQ(hostile::TypeOf(target), c.TypeAfter) << "never replaced";
      EXPECT_EQ(std::string(c.Name).starts_with("link"), std::filesystem::is_symlink(target));
      EXPECT_EQ(folder.Names(), namesBefore) << "no temporary left, nothing added";
    }
  }
}

// The reader of a pipe leaves after the first bytes: the save fails with the broken pipe, and
// the program, which would have been ended by SIGPIPE, goes on.
TEST(HostileTargets, APipeWhoseReaderLeavesFailsTheSaveAndNothingElse) {
  TempFolder folder;
  const std::string pipe = folder / "out.fb2";
  ASSERT_TRUE(hostile::MakeFifo(pipe));
  const std::string big(8 << 20, 'x');
  hostile::FifoReader reader(pipe, 1000);
  const int error = platform::WriteFileAtomically(pipe, big);
  EXPECT_EQ(error, EPIPE);
  EXPECT_GE(reader.Take().size(), 1000u);
  EXPECT_EQ(hostile::TypeOf(pipe), file_type::fifo);
  EXPECT_EQ(platform::WriteFailureReason(pipe, error), "Broken pipe");
}

// A link to a regular file keeps its link; the file behind it is replaced whole, by a rename.
TEST(HostileTargets, ALinkToARegularFileStaysALinkAndItsFileIsReplaced) {
  TempFolder folder;
  const std::string real = folder / "real.fb2", link = folder / "link.fb2";
  testsupport::WriteFile(real, "old");
  ASSERT_TRUE(LinkTo(link, real));
  struct stat before {};
  ::stat(real.c_str(), &before);
  WriteFb2File(link, kFb2, false);
  struct stat after {};
  ::stat(real.c_str(), &after);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(testsupport::ReadFile(real), kFb2);
  EXPECT_NE(before.st_ino, after.st_ino) << "a new file renamed into place, not rewritten";
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"link.fb2", "real.fb2"}));
  EXPECT_TRUE(testsupport::IsWellFormedXml(testsupport::ReadFile(real)));
}

// An interrupt while a big book is being written used to leave its hidden ".tmp" of many
// megabytes beside the target. The cleanup an interrupt runs is run here while the temporary
// exists: it is removed, the save fails, the old file stays.
TEST(HostileTargets, AnInterruptDuringASaveRemovesItsTemporary) {
  TempFolder folder;
  const std::string target = folder / "Big.fb2";
  testsupport::WriteFile(target, kFb2);
  const std::string big(64 << 20, 'b');
  bool caught = false;
  // The save is watched until its temporary shows; a save too quick to be caught is tried again.
  for (int attempt = 0; attempt < 20 && !caught; ++attempt) {
    std::atomic<bool> done{false};
    int error = 0;
    std::thread save([&] {
      error = platform::WriteFileAtomically(target, big);
      done = true;
    });
    while (!done) {
      const std::vector<std::string> names = folder.Names();
      if (names.size() > 1) {
        platform::RunInterruptCleanup();
        caught = true;
        break;
      }
    }
    save.join();
    if (!caught) continue;
    EXPECT_NE(error, 0) << "the temporary went before its rename";
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"Big.fb2"}) << "nothing left behind";
    EXPECT_EQ(testsupport::ReadFile(target), kFb2);
  }
  EXPECT_TRUE(caught);
}

}  // namespace
}  // namespace output
