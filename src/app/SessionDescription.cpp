// Provisional document head until the description writer lands.

#include "app/Session.h"

namespace app {

engine::DocumentHead Session::WriteDescription() {
  engine::DocumentHead head;
  head.Text =
      "<?xml version=\"1.0\" encoding=\"" + encoding_.SystemCodePageName +
      "\"?>\r\n<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
      "xmlns:xlink=\"http://www.w3.org/1999/xlink\">\r\n<description>\r\n</description>\r\n";
  return head;
}

}  // namespace app
