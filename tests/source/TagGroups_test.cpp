#include "source/TagGroups.h"

#include <gtest/gtest.h>

namespace source {
namespace {

TEST(TagGroups, EveryNameOfEveryGroup) {
  struct Case {
    const char* name;
    uint8_t groups;
  } cases[] = {
      {"font", kWrapperTag},
      {"/font", kWrapperTag},
      {"span", kWrapperTag},
      {"/span", kWrapperTag},
      {"div", kWrapperTag | kBreakBefore},
      {"/div", kWrapperTag},
      {"o:p", kWrapperTag},
      {"/o:p", kWrapperTag},
      {"b", kAttributeFreeTag},
      {"i", kAttributeFreeTag},
      {"u", kAttributeFreeTag},
      {"br", kAttributeFreeTag | kVoidTag | kBreakBefore},
      {"img", kVoidTag},
      {"hr", kVoidTag},
      {"meta", kVoidTag | kBreakBefore},
      {"/html", kBreakBefore},
      {"/body", kBreakBefore},
      {"/tbody", kBreakBefore},
      {"/table", kBreakBefore},
      {"title", kBreakBefore},
      {"head", kBreakBefore},
      {"/head", kBreakBefore},
      {"/tr", kBreakBefore},
      {"style", kBreakBefore},
      {"/style", kBreakBefore},
      {"pre", kBreakBefore},
      {"/pre", kBreakBefore},
      {"html", 0},
      {"a", 0},
      {"th", 0},
      {"/p", 0},
      {"/td", 0},
      {"/li", 0},
      {"h7", 0},
      {"!doctype", 0},
      {"blockquote", 0},
      {"P", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(TagGroups(NameKey(c.name)), c.groups) << c.name;
  for (const char* name : {"p", "table", "tbody", "tr", "td", "h1", "h2", "h3", "h4", "h5", "h6",
                           "body", "ul", "ol", "li"}) {
    EXPECT_EQ(TagGroups(NameKey(name)), kAttributeFreeTag | kBreakBefore) << name;
  }
}

TEST(TagGroups, TablePartsKeepTheirAttributes) {
  EXPECT_TRUE(KeepsTableAttribute(NameKey("table"), "BORDER"));
  EXPECT_FALSE(KeepsTableAttribute(NameKey("table"), "align"));
  EXPECT_TRUE(KeepsTableAttribute(NameKey("tr"), "VAlign"));
  EXPECT_FALSE(KeepsTableAttribute(NameKey("tr"), "colspan"));
  for (const char* name : {"rowspan", "colspan", "align", "valign"}) {
    EXPECT_TRUE(KeepsTableAttribute(NameKey("td"), name)) << name;
  }
  EXPECT_FALSE(KeepsTableAttribute(NameKey("td"), "width"));
  EXPECT_FALSE(KeepsTableAttribute(NameKey("th"), "colspan"));
}

}  // namespace
}  // namespace source
