#include "source/WordBridge.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/TempFolder.h"
#include "support/WordDocuments.h"
#include "support/Xml.h"

namespace source {
namespace {

namespace fs = std::filesystem;

const platform::CodePage& Cp1251() {
  static const platform::CodePage cp(1251);
  return cp;
}

TEST(PrepareExportHtmlTest, PointsPicturesIntoTheFolderAndReencodes) {
  struct Case {
    const char* Name;
    std::string Html;
    std::string Expected;
  };
  const std::vector<std::string> pictures = {"document_html_1.png", "document_html_2 x.gif"};
  const Case cases[] = {
      {"quoted and unquoted references",
       "<img src=\"document_html_1.png\"><img src='document_html_1.png'><img "
       "src=document_html_1.png>",
       "<img src=\"My_Book.files/document_html_1.png\"><img "
       "src='My_Book.files/document_html_1.png'>"
       "<img src=My_Book.files/document_html_1.png>"},
      {"a mention in the text stays", "<p>see document_html_1.png here</p>",
       "<p>see document_html_1.png here</p>"},
      {"a longer name is another picture", "<img src=\"document_html_1.png.bak\">",
       "<img src=\"document_html_1.png.bak\">"},
      {"percent-encoded reference", "<img src=\"document_html_2%20x.gif\">",
       "<img src=\"My_Book.files/document_html_2%20x.gif\">"},
      {"declared utf-8 is read and renamed",
       "<meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\"/><p>\xD0\x9F\xE2\x80"
       "\x94\xE4\xB8\xAD</p>",
       "<meta http-equiv=\"content-type\" content=\"text/html; charset=windows-1251\"/><p>\xCF\x97"
       "&#20013;</p>"},
      {"undeclared text is utf-8 too", "<p>\xD0\x9F</p>", "<p>\xCF</p>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PrepareExportHtml(c.Html, pictures, "My_Book.files", Cp1251()), c.Expected) << c.Name;
  }
}

TEST(PrepareExportHtmlTest, PercentEncodeKeepsPlainNames) {
  EXPECT_EQ(PercentEncode("My_Book-1.files"), "My_Book-1.files");
  EXPECT_EQ(PercentEncode("a b#\xD0\x9F%"), "a%20b%23%D0%9F%25");
}

// A stand-in for LibreOffice: a shell script that writes what the export would.
class FakeExporterTest : public ::testing::Test {
 protected:
  // The profile kept between conversions goes into the test's folder, not the user's cache.
  FakeExporterTest() { setenv("XDG_CACHE_HOME", cache_.Path().c_str(), 1); }
  std::string Script(const std::string& body) {
    const std::string path = dir_ / "fake-soffice";
    testsupport::WriteFile(path,
                           "#!/bin/sh\n"
                           "out=; prev=\n"
                           "for a in \"$@\"; do [ \"$prev\" = --outdir ] && out=$a; prev=$a; done\n"
                           "printf '%s\\n' \"$@\" > \"" +
                               (dir_ / "args") + "\"\n" + body);
    chmod(path.c_str(), 0755);
    return path;
  }
  static constexpr const char* kExport =
      "printf '<html><head><meta charset=\"utf-8\"></head><body><p>\\320\\237</p>"
      "<img src=\"document_html_1.png\"/></body></html>' > \"$out/document.html\"\n"
      "printf PNG > \"$out/document_html_1.png\"\n";

  testsupport::TempFolder cache_;
  testsupport::TempFolder dir_;
};

TEST_F(FakeExporterTest, PutsTheHtmlAtTargetAndThePicturesBesideIt) {
  testsupport::WriteFile(dir_ / "My Book.DOCX", "doc");
  WordBridgeOptions options;
  options.Program = Script(kExport);
  const std::string target = dir_ / "My_Book.htm";
  ASSERT_TRUE(ConvertWithWord(dir_ / "My Book.DOCX", target, Cp1251(), options));
  EXPECT_EQ(testsupport::ReadFile(target),
            "<html><head><meta charset=\"windows-1251\"></head><body><p>\xCF</p>"
            "<img src=\"My_Book.files/document_html_1.png\"/></body></html>");
  EXPECT_EQ(testsupport::ReadFile(dir_ / "My_Book.files/document_html_1.png"), "PNG");
  // The program got a private profile, no window and the document under a plain name.
  const std::string args = testsupport::ReadFile(dir_ / "args");
  EXPECT_NE(args.find("-env:UserInstallation=file:///"), std::string::npos) << args;
  EXPECT_NE(args.find("--headless\n"), std::string::npos);
  EXPECT_NE(args.find("/in/document.docx\n"), std::string::npos);
  // The scratch folder named in the arguments is gone.
  const size_t at = args.find("--outdir\n") + 9;
  const std::string outdir = args.substr(at, args.find('\n', at) - at);
  EXPECT_FALSE(fs::exists(fs::path(outdir).parent_path()));
}

TEST_F(FakeExporterTest, FailureSaysWhyAndLeavesNothingBehind) {
  testsupport::WriteFile(dir_ / "a.rtf", "rtf");
  const std::string target = dir_ / "a.htm";
  const std::string script = dir_ / "fake-soffice";
  struct Case {
    const char* Name;
    std::string Program;  // the script's body, or a program path when `Body` is false
    bool Body;
    std::string Source;
    std::string Target;
    std::string Reason;
  };
  const Case cases[] = {
      {"exported, yet failed", std::string(kExport) + "exit 3\n", true, "a.rtf", target,
       "\"" + script + "\" ended with exit status 3"},
      {"ended by a signal", "kill -9 $$\n", true, "a.rtf", target,
       "\"" + script + "\" ended abnormally"},
      {"succeeds without writing anything", "", true, "a.rtf", target,
       "\"" + script + "\" wrote no HTML"},
      {"no such program", dir_ / "no-such-program", false, "a.rtf", target,
       "program \"" + dir_ / "no-such-program" + "\" not found"},
      {"no such program on PATH", "vellumor-no-such-program", false, "a.rtf", target,
       "program \"vellumor-no-such-program\" not found"},
      {"missing document", kExport, true, "missing.rtf", target,
       "cannot copy \"" + dir_ / "missing.rtf" + "\": No such file or directory"},
      // The export's folder is taken by a file: the pictures cannot go there.
      {"picture folder taken", kExport, true, "a.rtf", dir_ / "taken.htm",
       "cannot create \"" + dir_ / "taken.files" + "\": "},
      // A folder of the target's name: the pictures went beside it and are removed again.
      {"target is a folder", kExport, true, "a.rtf", dir_ / "shelf.htm",
       "cannot write \"" + dir_ / "shelf.htm" + "\": "},
  };
  testsupport::WriteFile(dir_ / "taken.files", "a file");
  fs::create_directory(dir_ / "shelf.htm");
  for (const Case& c : cases) {
    WordBridgeOptions options;
    options.Program = c.Body ? Script(c.Program) : c.Program;
    const ExportResult result = ConvertWithWord(dir_ / c.Source, c.Target, Cp1251(), options);
    EXPECT_FALSE(result) << c.Name;
    EXPECT_EQ(result.Reason.rfind(c.Reason, 0), 0u) << c.Name << ": " << result.Reason;
    EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"a.rtf", "args", "fake-soffice", "shelf.htm",
                                                      "taken.files"}))
        << c.Name;
  }
}

TEST_F(FakeExporterTest, TimeLimitKillsTheExport) {
  testsupport::WriteFile(dir_ / "a.rtf", "rtf");
  WordBridgeOptions options;
  options.Program = Script(std::string(kExport) + "sleep 30\n");
  options.TimeLimit = std::chrono::milliseconds(300);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ConvertWithWord(dir_ / "a.rtf", dir_ / "a.htm", Cp1251(), options).Reason,
            "\"" + options.Program + "\" timed out after 300 ms");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_FALSE(fs::exists(dir_ / "a.htm"));
  EXPECT_FALSE(fs::exists(dir_ / "a.files"));
}

// Real exports: the RTF written here, and the .docx and .doc LibreOffice makes of it.
struct Format {
  const char* Extension;
  const char* Filter;  // how LibreOffice makes it from the RTF; null for the RTF itself
};

class LibreOfficeExportTest : public ::testing::TestWithParam<Format> {
 protected:
  // The sample document in the format of the test, or empty.
  std::string Document() {
    // The profile kept between conversions goes into the test's folder, not the user's cache.
    setenv("XDG_CACHE_HOME", (documents_ / "cache").c_str(), 1);
    const std::string rtf = documents_ / "sample.rtf";
    testsupport::WriteFile(rtf, testsupport::SampleRtf());
    if (!GetParam().Filter) return rtf;
    return testsupport::ConvertWithLibreOffice(rtf, GetParam().Filter, documents_.Path().string());
  }

  testsupport::TempFolder documents_;
};

TEST_P(LibreOfficeExportTest, ExportsEverythingTheConversionNeeds) {
  if (!testsupport::HaveLibreOffice()) GTEST_SKIP() << "soffice is not installed";
  const std::string source = Document();
  ASSERT_FALSE(source.empty()) << "LibreOffice did not make the ." << GetParam().Extension;
  testsupport::TempFolder out;
  const std::string target = out / "Sample_Export.htm";
  ASSERT_TRUE(ConvertWithWord(source, target, Cp1251()));

  const std::string html = testsupport::ReadFile(target);
  EXPECT_NE(html.find("charset=windows-1251"), std::string::npos);
  EXPECT_NE(html.find("\xCF\xF0\xE8\xE2\xE5\xF2"), std::string::npos) << "Cyrillic text";
  EXPECT_NE(html.find("<h1"), std::string::npos);
  EXPECT_NE(html.find("<b>bold</b>"), std::string::npos);
  EXPECT_NE(html.find("<i>"), std::string::npos);  // the run is wrapped in a span inside
  EXPECT_NE(html.find("<li"), std::string::npos);
  EXPECT_NE(html.find("<table"), std::string::npos);
  EXPECT_NE(html.find(">A2<"), std::string::npos);

  // One picture, in the folder, referred to relatively.
  const size_t src = html.find("src=\"Sample_Export.files/");
  ASSERT_NE(src, std::string::npos) << html;
  const size_t start = src + 5;
  const std::string reference = html.substr(start, html.find('"', start) - start);
  EXPECT_TRUE(fs::is_regular_file(out.Path() / reference)) << reference;
  EXPECT_EQ(out.Names(), (std::vector<std::string>{"Sample_Export.files", "Sample_Export.htm"}));
  // The profile is kept for the next conversion.
  EXPECT_TRUE(fs::is_directory(documents_ / "cache/vellumor/libreoffice/user"));
}

INSTANTIATE_TEST_SUITE_P(Formats, LibreOfficeExportTest,
                         ::testing::Values(Format{"rtf", nullptr}, Format{"docx", "docx"},
                                           Format{"doc", "doc:MS Word 97"}),
                         [](const ::testing::TestParamInfo<Format>& param) {
                           return std::string(param.param.Extension);
                         });

}  // namespace
}  // namespace source
