#pragma once
// The busy indication of a long command, ended on every way out of it.

#include "app/UserInterface.h"

namespace app {

class BusyIndication {
 public:
  explicit BusyIndication(UserInterface& ui) : ui_(ui) { ui_.SetBusy(true); }
  ~BusyIndication() { ui_.SetBusy(false); }
  BusyIndication(const BusyIndication&) = delete;
  BusyIndication& operator=(const BusyIndication&) = delete;

 private:
  UserInterface& ui_;
};

}  // namespace app
