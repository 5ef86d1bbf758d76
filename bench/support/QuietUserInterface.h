#pragma once
// A user interface for the benchmarks: answers nothing, shows nothing, and closes the book
// information dialog with "Ok".

#include <string>
#include <string_view>
#include <vector>

#include "app/UserInterface.h"
#include "fb2meta/BookInfo.h"

namespace bench {

class QuietUserInterface : public app::UserInterface {
 public:
  void ShowMessage(std::string_view, std::string_view) override {}
  std::string AskOpenFile(std::string_view, const std::vector<app::FileFilter>&,
                          std::string_view) override {
    return {};
  }
  std::string AskSaveFile(std::string_view, const std::vector<app::FileFilter>&, std::string_view,
                          std::string_view) override {
    return {};
  }
  std::string AskFolder(std::string_view, std::string_view) override { return {}; }
  bool EditBookInfo(fb2meta::BookInfo&) override { return true; }
  std::string PickGenres(std::string_view genres) override { return std::string(genres); }
  void SetBusy(bool) override {}
  void ShowProgress(size_t, size_t) override {}
  void SetStatus(int, std::string_view) override {}
  void SetCaption(std::string_view) override {}
  void ShowPage(int) override {}
  void ShowFindDialog() override {}
  void ShowReplaceDialog() override {}
};

}  // namespace bench
