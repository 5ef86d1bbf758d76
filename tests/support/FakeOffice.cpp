#include "support/FakeOffice.h"

#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/Xml.h"

namespace testsupport {
namespace {

void WriteScript(const std::string& path, const std::string& text) {
  WriteFile(path, text);
  chmod(path.c_str(), 0755);
}

}  // namespace

// A picture of one red pixel.
constexpr char kPng[] =
    "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0\x90wS\xde\0\0\0\x0c"
    "IDATx\x9c\x63\xf8\xcf\xc0\0\0\x03\x01\x01\0\xc9\xfe\x92\xef\0\0\0\0IEND\xae"
    "B`\x82";

FakeOffice::FakeOffice() {
  chmod(folder_.Path().c_str(), 0755);
  WriteFile(folder_ / "picture.png", std::string_view(kPng, sizeof kPng - 1));
  WriteScript(folder_ / "soffice", "#!/bin/sh\nexec \"$(dirname \"$0\")/soffice.bin\" \"$@\"\n");
  WriteScript(
      folder_ / "soffice.bin",
      "#!/bin/sh\n"
      "here=$(dirname \"$0\")\n"
      "for a in \"$@\"; do case $a in -env:UserInstallation=*) echo \"${a#*file://}\" >> "
      "\"$here/profiles\";; esac; done\n"
      // A listener records itself, then tells its driver (by the pipe's name) it is up.
      "case \"$*\" in *--convert-to*) ;; *) echo $$ >> \"$here/listener-pids\"\n"
      "  for a in \"$@\"; do case $a in --accept=*) n=${a#*name=}; "
      "touch \"$here/up-${n%%;*}\";; esac; done\n"
      "  exec sleep 600;; esac\n"
      "echo $$ >> \"$here/once-pids\"\n"
      "out=; prev=; in=\n"
      "for a in \"$@\"; do [ \"$prev\" = --outdir ] && out=$a; prev=$a; in=$a; done\n"
      "if grep -q hang \"$in\"; then [ -p \"$here/hang\" ] && echo hang > \"$here/hang\"; "
      "exec sleep 600; fi\n"
      "img=\n"
      "if grep -q picture \"$in\"; then cp \"$here/picture.png\" \"$out/document_html_1.png\"; "
      "img='<img src=\"document_html_1.png\"/>'; fi\n"
      "printf '<html><body><p>once %s</p>%s</body></html>' \"$(cat \"$in\")\" \"$img\" > "
      "\"$out/document.html\"\n");
  WriteScript(
      folder_ / "python",
      "#!/bin/sh\n"
      "here=$(dirname \"$0\")\n"
      "[ -e \"$here/no-bridge\" ] && { echo nobridge; exit 3; }\n"
      "echo $$ >> \"$here/driver-pids\"\n"
      "while [ ! -e \"$here/up-$3\" ]; do sleep 0.01; done\n"  // python -c CODE PIPE ...
      "echo ready\n"
      "tab=$(printf '\\t')\n"
      "while IFS=$tab read -r in target; do\n"
      "  if grep -q hang \"$in\"; then [ -p \"$here/hang\" ] && echo hang > \"$here/hang\"; "
      "exec sleep 600; fi\n"
      "  grep -q crash \"$in\" && exit 1\n"
      "  folder=$(dirname \"$target\")\n"
      "  img=\n"
      "  if grep -q picture \"$in\"; then cp \"$here/picture.png\" "
      "\"$folder/document_html_1.png\"; img='<img src=\"document_html_1.png\"/>'; fi\n"
      "  printf '<html><body><p>%s</p>%s</body></html>' \"$(cat \"$in\")\" \"$img\" > "
      "\"$target\"\n"
      "  echo ok\n"
      "done\n");
}

std::string FakeOffice::MakeHangFifo() {
  const std::string path = folder_ / "hang";
  mkfifo(path.c_str(), 0666);
  return path;
}

void FakeOffice::NoBridge() {
  WriteFile(folder_ / "no-bridge", "");
}

std::vector<int> FakeOffice::Pids(const std::string& file) const {
  std::vector<int> pids;
  std::ifstream in(folder_ / file);
  for (int pid; in >> pid;) pids.push_back(pid);
  return pids;
}

std::vector<std::string> FakeOffice::Profiles() const {
  std::vector<std::string> profiles;
  std::ifstream in(folder_ / "profiles");
  for (std::string line; std::getline(in, line);) profiles.push_back(line);
  return profiles;
}

bool ProcessEnds(int pid) {
  const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (fd < 0) return errno == ESRCH;
  pollfd polled{fd, POLLIN, 0};
  const int ready = poll(&polled, 1, 60'000);
  close(fd);
  return ready == 1;
}

}  // namespace testsupport
