#include "app/event_bindings.h"

#include "app/main_window.h"
#include "app/shell_commands.h"

namespace app {

using enum ControlId;

void EventBindings::OnClicked(ControlId button) {
  switch (button) {
    case 按钮_删除二维码:
      DeleteQrImage(window_);
      break;
    default:
      break;
  }
}

void EventBindings::OnRightPressed(ControlId) {}

void EventBindings::OnCounterTick() { UpdateInputCounter(window_); }

}  // namespace app
