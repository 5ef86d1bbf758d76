#include "support/BookGenerator.h"

#include <cstdint>

namespace bench {

namespace {

// Cyrillic words in windows-1251 (and a few Latin ones), picked by a fixed pseudo-random walk.
const char* const kWords[] = {"\xea\xed\xe8\xe3\xe0",
                              "\xe4\xee\xf0\xee\xe3\xe0",
                              "\xf1\xf2\xe5\xef\xfc",
                              "\xea\xe0\xef\xe8\xf2\xe0\xed",
                              "\xe4\xee\xf7\xea\xe0",
                              "\xe1\xf3\xf0\xe0\xed",
                              "\xe2\xee\xe6\xe0\xf2\xfb\xe9",
                              "\xea\xf0\xe5\xef\xee\xf1\xf2\xfc",
                              "\xee\xf2\xe5\xf6",
                              "\xec\xe0\xf2\xf3\xf8\xea\xe0",
                              "\xf1\xeb\xf3\xe6\xe1\xe0",
                              "\xe8",
                              "\xe2",
                              "\xed\xe0",
                              "the",
                              "story"};

struct Rng {
  uint32_t state = 12345;
  uint32_t Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
};

void AppendSentence(std::string& out, Rng& rng) {
  const int words = 6 + static_cast<int>(rng.Next() % 12);
  for (int w = 0; w < words; ++w) {
    if (w) out += ' ';
    const uint32_t pick = rng.Next() % 100;
    const char* word = kWords[rng.Next() % (sizeof(kWords) / sizeof(kWords[0]))];
    if (pick < 4) {
      out.append("<b>").append(word).append("</b>");
    } else if (pick < 8) {
      out.append("<i>").append(word).append("</i>");
    } else if (pick < 9) {
      out.append("<span class=Em>").append(word).append("</span>");
    } else if (pick < 10) {
      out.append("<a href=\"http://example.org/p?a=1&amp;b=").append(std::to_string(pick));
      out.append("\">").append(word).append("</a>");
    } else {
      out.append(word);
    }
  }
  const uint32_t end = rng.Next() % 10;
  out.append(end < 6 ? "." : end < 8 ? "&hellip;" : ", &mdash; &laquo;\xe4\xe0&raquo;.");
}

}  // namespace

std::string MakeHtmlBook(size_t approximateBytes) {
  Rng rng;
  std::string out;
  out.reserve(approximateBytes + 4096);
  out.append(
      "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\">\r\n<head>\r\n"
      "<meta http-equiv=Content-Type content=\"text/html; charset=windows-1251\">\r\n"
      "<title>Book</title>\r\n<style>\r\n<!--\r\n"
      " /* Style Definitions */\r\n p.MsoNormal, li.MsoNormal, div.MsoNormal\r\n"
      "\t{margin:0cm;\r\n\tfont-size:12.0pt;\r\n\tfont-family:\"Times New Roman\";}\r\n"
      "span.Strong\r\n\t{font-weight:bold;}\r\nspan.Em\r\n\t{font-style:italic;}\r\n"
      "p.Heavy\r\n\t{font-weight:bold; font-style:italic;}\r\n-->\r\n</style>\r\n"
      "</head>\r\n<body lang=RU style='tab-interval:35.4pt'>\r\n<div class=Section1>\r\n");
  int chapter = 0;
  while (out.size() < approximateBytes) {
    ++chapter;
    out.append("<h1>\xc3\xeb\xe0\xe2\xe0 ").append(std::to_string(chapter)).append("</h1>\r\n");
    for (int section = 0; section < 3; ++section) {
      out.append("<h2><a name=\"_Toc").append(std::to_string(chapter * 10 + section));
      out.append("\"></a>\xd7\xe0\xf1\xf2\xfc ").append(std::to_string(section + 1));
      out.append("</h2>\r\n");
      for (int p = 0; p < 20; ++p) {
        out.append(p % 5 == 0 ? "<p class=Heavy>" : "<p class=MsoNormal><span lang=RU>");
        const int sentences = 2 + static_cast<int>(rng.Next() % 5);
        for (int s = 0; s < sentences; ++s) {
          if (s) out.append(s % 3 == 0 ? "\r\n" : " ");
          AppendSentence(out, rng);
        }
        out.append(p % 5 == 0 ? "</p>\r\n" : "<o:p></o:p></span></p>\r\n");
      }
      out.append("<ul>\r\n");
      for (int li = 0; li < 4; ++li) {
        out.append("<li class=MsoNormal>");
        AppendSentence(out, rng);
        out.append("</li>\r\n");
      }
      out.append("</ul>\r\n");
    }
    if (chapter % 4 == 0) {
      out.append("<table border=1 cellspacing=0 cellpadding=0 width=\"100%\">\r\n");
      for (int r = 0; r < 4; ++r) {
        out.append(" <tr>\r\n");
        for (int c = 0; c < 3; ++c) {
          out.append("  <td width=200 valign=top style='padding:0cm'><p class=MsoNormal>");
          AppendSentence(out, rng);
          out.append("</p></td>\r\n");
        }
        out.append(" </tr>\r\n");
      }
      out.append("</table>\r\n");
    }
  }
  out.append("</div>\r\n</body>\r\n</html>\r\n");
  return out;
}

namespace {

// English words, and French ones with accents, in UTF-8.
const char* const kEnglish[] = {
    "the",     "and",     "of",      "to",     "he",       "was",      "his",     "in",
    "that",    "her",     "had",     "with",   "said",     "prince",   "Pierre",  "not",
    "at",      "as",      "it",      "she",    "on",       "for",      "him",     "Natásha",
    "Andrew",  "but",     "by",      "all",    "they",     "which",    "would",   "were",
    "one",     "from",    "Rostóv",  "you",    "been",     "old",      "face",    "count",
    "looked",  "smiling", "officer", "French", "army",     "Moscow",   "room",    "eyes",
    "Kutúzov", "another", "himself", "little", "princess", "regiment", "thought", "Borís"};
const char* const kFrench[] = {"Eh bien, mon prince", "je vous en prie",
                               "très charmant",       "mon cher",
                               "c’est la guerre",     "déjà",
                               "la comtesse",         "Gênes et Lucques",
                               "l’empereur",          "à la française",
                               "Ça dépend",           "bientôt"};

void AppendNovelSentence(std::string& out, Rng& rng) {
  const uint32_t kind = rng.Next() % 20;
  if (kind == 0) out.append("“");
  const int words = 5 + static_cast<int>(rng.Next() % 16);
  for (int w = 0; w < words; ++w) {
    if (w) out += ' ';
    const uint32_t pick = rng.Next() % 100;
    if (pick < 2) {
      out.append("<i>").append(kFrench[rng.Next() % (sizeof(kFrench) / sizeof(kFrench[0]))]);
      out.append("</i>");
    } else if (pick < 3) {
      out.append("don’t");
    } else {
      std::string word = kEnglish[rng.Next() % (sizeof(kEnglish) / sizeof(kEnglish[0]))];
      if (w == 0 && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 32);
      out.append(word);
    }
  }
  const uint32_t end = rng.Next() % 16;
  out.append(end < 9    ? "."
             : end < 11 ? "?"
             : end < 13 ? "—"
             : end < 14 ? "!"
             : end < 15 ? ";"
                        : ", № 3 ≈");
  if (kind == 0) out.append("”");
}

// Wraps the paragraph text at 72 columns (counted in bytes) with CR LF, never inside a tag.
void AppendWrapped(std::string& out, std::string_view text) {
  size_t column = 0, inTag = 0;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '<') ++inTag;
    if (text[i] == '>' && inTag) --inTag;
    if (text[i] == ' ' && !inTag && column >= 72) {
      out.append(text, start, i - start).append("\r\n");
      start = i + 1;
      column = 0;
      continue;
    }
    ++column;
  }
  out.append(text, start, std::string_view::npos);
}

}  // namespace

std::string MakeXhtmlNovel(size_t approximateBytes) {
  Rng rng;
  std::string out;
  out.reserve(approximateBytes + 8192);
  out.append(
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
      "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\"\r\n"
      "  \"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\r\n"
      "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\r\n<head>\r\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html;charset=utf-8\" />\r\n"
      "<meta http-equiv=\"Content-Style-Type\" content=\"text/css\" />\r\n"
      "<title>The Novel, by A. Writer</title>\r\n<style type=\"text/css\">\r\n"
      "body { margin-left: 20%; margin-right: 20%; text-align: justify; }\r\n"
      "h1, h2, h3, h4 { text-align: center; font-style: normal; font-weight: normal; }\r\n"
      "p { text-indent: 1em; margin-top: .25em; margin-bottom: .25em; }\r\n"
      ".toc { margin-left: 10%; }\r\n.pginternal { text-decoration: none; }\r\n"
      "p.letter { font-style: italic; }\r\n</style>\r\n</head>\r\n<body>\r\n"
      "<h1>THE NOVEL</h1>\r\n<h2 class=\"author\">By A. Writer</h2>\r\n<hr />\r\n"
      "<h2>Contents</h2>\r\n<table summary=\"contents\">\r\n");
  // About 33 paragraphs of some 330 bytes make a chapter: the contents table first.
  const size_t chapters = approximateBytes / 12000 + 1;
  for (size_t c = 1; c <= chapters; ++c) {
    const std::string id = "link2HCH" + std::to_string(10000 + c).substr(1);
    out.append("<tr><td><p class=\"toc\"><a href=\"#").append(id);
    out.append("\" class=\"pginternal\">CHAPTER ").append(std::to_string(c));
    out.append("</a></p></td></tr>\r\n");
  }
  out.append("</table>\r\n");
  std::string paragraph;
  size_t chapter = 0;
  while (out.size() < approximateBytes) {
    ++chapter;
    const std::string id = "link2HCH" + std::to_string(10000 + chapter).substr(1);
    out.append("<div class=\"chapter\">\r\n<h2><a id=\"").append(id).append("\"></a>CHAPTER ");
    out.append(std::to_string(chapter)).append("</h2>\r\n");
    for (int p = 0; p < 33 && out.size() < approximateBytes; ++p) {
      paragraph.assign(p % 11 == 10 ? "<p class=\"letter\">" : "<p>");
      const int sentences = 1 + static_cast<int>(rng.Next() % 6);
      for (int s = 0; s < sentences; ++s) {
        if (s) paragraph += ' ';
        AppendNovelSentence(paragraph, rng);
      }
      paragraph.append("</p>");
      AppendWrapped(out, paragraph);
      out.append("\r\n\r\n");
    }
    out.append("</div>\r\n");
  }
  out.append("</body>\r\n</html>\r\n");
  return out;
}

}  // namespace bench
