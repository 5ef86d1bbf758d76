#include "source/SourceLanguage.h"

#include <gtest/gtest.h>

#include <string>

namespace source {
namespace {

struct LanguageCase {
  const char* Name;
  std::string Html;
  std::string Expected;
};

// A LibreOffice export of a .doc or .rtf: the body names the exporting program's default
// language, the style sheet and the paragraphs the document's.
const std::string kLibreOfficeDocExport =
    "<!DOCTYPE html>\n<html>\n<head>\n"
    "\t<meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\"/>\n"
    "\t<meta name=\"generator\" content=\"LibreOffice 7.4.7.2 (Linux)\"/>\n"
    "\t<style type=\"text/css\">\n"
    "\t\tp { color: #000000; text-align: left; background: transparent }\n"
    "\t\tp.western { font-family: \"DejaVu Serif\", serif; font-size: 12pt; so-language: de-DE }\n"
    "\t\tp.cjk { font-family: \"DejaVu Sans\"; font-size: 12pt; so-language: zh-CN }\n"
    "\t</style>\n</head>\n"
    "<body lang=\"en-US\" text=\"#000000\" dir=\"ltr\"><p lang=\"de-DE\" class=\"western\">\n"
    "Guten Tag.</p>\n</body>\n</html>";

const LanguageCase kDeclared[] = {
    {"lang of html", "<html lang=\"en\"><head></head><body><p>x</p></body></html>", "en"},
    {"xml:lang of html", "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"ru\"><body>",
     "ru"},
    {"lang before xml:lang", "<html xml:lang=\"fr\" lang=\"de\"><body>", "de"},
    {"unusable lang, then xml:lang", "<html lang=\"XX\" xml:lang=\"fr\"><body>", "fr"},
    {"html before body", "<html lang=\"fr\"><body lang=\"en\">", "fr"},
    {"lang of body", "<html><head><title>T</title></head><body lang=\"en-GB\">", "en"},
    {"xml:lang of body", "<html><body xml:lang=\"pl\">", "pl"},
    {"word export",
     "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\">\n<head>\n"
     "<meta name=Generator content=\"Microsoft Word 15\">\n</head>\n"
     "<body lang=EN-US style='tab-interval:36.0pt'>\n<div class=WordSection1>",
     "en"},
    {"word export in Russian", "<html><body lang=RU style='tab-interval:35.4pt'>", "ru"},
    {"content-language meta",
     "<html><head><meta http-equiv=\"Content-Language\" content=\"de-AT\">"
     "</head><body><p>x</p>",
     "de"},
    {"meta: first usable language of the list",
     "<meta http-equiv=\"content-language\" content=\"xx, fr-CA, en\"><body>", "fr"},
    {"meta: upper-case names, unquoted values",
     "<HEAD><META HTTP-EQUIV=Content-Language CONTENT=es></HEAD><BODY>", "es"},
    {"body before meta", "<meta http-equiv=\"Content-Language\" content=\"de\"><body lang=\"en\">",
     "en"},
    {"another meta is no declaration", "<meta name=\"language\" content=\"en\"><body>", ""},
    {"upper-case tag and attribute", "<HTML LANG=\"EN\"><BODY>", "en"},
    {"single-quoted value", "<html lang='pt-BR'><body>", "pt"},
    {"unquoted value", "<html lang=uk><body>", "uk"},
    {"blanks around name and value", "<html  lang = \" it \" ><body>", "it"},
    {"xml declaration and doctype first",
     "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML "
     "1.1//EN\" "
     "\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">\n<html xml:lang=\"nl\"><body>",
     "nl"},
    {"nothing declared", "<html><head><title>T</title></head><body><p>x</p></body></html>", ""},
    {"no markup at all", "just text", ""},
    {"lang=XX", "<html lang=XX><body><p>x</p>", ""},
    {"nonsense on html, a language on body", "<html lang=\"XX\"><body lang=\"ru\">", "ru"},
    {"empty lang", "<html lang=\"\"><body lang=\"\">", ""},
    {"lang without a value", "<html lang><body>", ""},
    {"private use and undetermined", "<html lang=\"x-klingon\"><body lang=\"und\">", ""},
    {"a later paragraph does not count", "<html><body><p lang=\"en\">Hello</p></body></html>", ""},
    {"a paragraph before the body does not count", "<html><p lang=\"en\">Hello</p>", ""},
    {"meta after the body start does not count",
     "<body><meta http-equiv=\"Content-Language\" content=\"en\"><p>x</p>", ""},
    {"declarations in a comment do not count", "<!-- <html lang=\"en\"> --><html><body>", ""},
    {"a body inside a script does not count",
     "<html><head><script>document.write(\"<body lang='fr'>\")</script></head>"
     "<body lang=\"it\">",
     "it"},
    {"a body inside the title does not count",
     "<html><head><TITLE>About <body lang=fr></TITLE></head><body>", ""},
    {"only the first html tag", "<html><html lang=\"en\"><body>", ""},
    {"a cut-off tag declares nothing", "<html lang=\"en\"", ""},
    {"LibreOffice export of a .doc: the default paragraph style", kLibreOfficeDocExport, "de"},
    {"OpenOffice export: upper case, style in a comment",
     "<HTML><HEAD><STYLE TYPE=\"text/css\">\n<!--\n\t@page { size: 21cm 29.7cm }\n"
     "\tP { margin-bottom: 0.21cm }\n\tP.western { so-language: ru-RU }\n-->\n</STYLE></HEAD>"
     "<BODY LANG=\"en-US\" DIR=\"LTR\">",
     "ru"},
    {"LibreOffice export naming no paragraph language: the body",
     "<style>a:link { color: #000080; so-language: zxx }</style><body lang=\"en-GB\" dir=\"ltr\">",
     "en"},
    {"so-language of another rule does not count",
     "<style>p.cjk { so-language: zh-CN } h1.western { so-language: fr-FR }</style>"
     "<body lang=\"en-GB\">",
     "en"},
    {"html before the default paragraph style",
     "<html lang=\"es\"><style>p.western { so-language: de-DE }</style><body>", "es"},
};

TEST(DeclaredLanguage, GivesTheFirstUsableDeclarationInBookForm) {
  for (const LanguageCase& c : kDeclared)
    EXPECT_EQ(DeclaredLanguage(c.Html), c.Expected) << c.Name << ": " << c.Html;
}

TEST(DeclaredLanguage, ReadsOnlyTheBeginningOfABigSource) {
  // A head longer than the scanned part: its body is not reached.
  const std::string longHead = "<html><head><!--" + std::string(kLanguageScanBytes, 'x') +
                               "--></head><body lang=\"en\"><p>x</p>";
  EXPECT_EQ(DeclaredLanguage(longHead), "");

  // A big book with its declaration at the top: found, whatever follows.
  std::string book = "<html lang=\"en\"><body>";
  for (int i = 0; i < 200000; ++i) book += "<p lang=\"fr\">Un <b>mot</b> &amp; <i>deux</i></p>\n";
  EXPECT_EQ(DeclaredLanguage(book), "en");

  // Markup that never closes its comments, quotes or scripts ends the search, not the program.
  for (const std::string& cutOff :
       {"<html><!-- " + std::string(3000000, '<'), "<html><script>" + std::string(3000000, '<'),
        "<html><style>" + std::string(300000, 'p') + ".western",
        "<html title=\"" + std::string(3000000, 'a')}) {
    EXPECT_EQ(DeclaredLanguage(cutOff), "");
  }
}

struct CodeCase {
  std::string Tag;
  std::string Expected;
};

const CodeCase kCodes[] = {
    // Two-letter codes and tags that start with one.
    {"en", "en"},
    {"EN-US", "en"},
    {"en_GB", "en"},
    {" ru ", "ru"},
    {"\tde\r\n", "de"},
    {"zh-Hant-TW", "zh"},
    {"sr-Latn", "sr"},
    {"en-", "en"},
    // Three-letter codes: the two-letter one where a language has it, else the code.
    {"deu", "de"},
    {"ger", "de"},
    {"RUS", "ru"},
    {"fil", "fil"},
    {"haw", "haw"},
    {"yue-HK", "yue"},
    // Withdrawn codes become their successors.
    {"iw", "he"},
    {"in", "id"},
    {"ji", "yi"},
    // Nonsense and codes that name no language.
    {"", ""},
    {"XX", ""},
    {"xx-XX", ""},
    {"qq", ""},
    {"x-klingon", ""},
    {"i-klingon", ""},
    {"und", ""},
    {"mul", ""},
    {"zxx", ""},
    {"mis", ""},
    {"qaa", ""},
    {"e", ""},
    {"english", ""},
    {"en US", ""},
    {"en,fr", ""},
    {"-en", ""},
    {"e1", ""},
    {"\xE0\xEB", ""},  // two letters of an 8-bit code page
};

TEST(Fb2LanguageCode, KeepsKnownCodesAndRejectsTheRest) {
  for (const CodeCase& c : kCodes) EXPECT_EQ(Fb2LanguageCode(c.Tag), c.Expected) << c.Tag;
}

TEST(Fb2LanguageCode, KnowsEveryTwoLetterLanguageOfTheLists) {
  // A sample from both ends of the table and the middle, so a cut-off table shows.
  for (std::string_view code : {"aa", "ab", "ce", "fy", "gd", "kl", "nb", "nn", "se", "zu"})
    EXPECT_EQ(Fb2LanguageCode(code), code);
  for (std::string_view code : {"aaa", "zzj", "zyb"})
    EXPECT_EQ(Fb2LanguageCode(code), code) << "three-letter code " << code;
}

}  // namespace
}  // namespace source
