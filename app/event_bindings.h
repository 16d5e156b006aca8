// Which command each event of the main window runs. Every command takes what
// it needs from the window when it runs.
#pragma once

#include "app/control_ids.h"
#include "app/dialogs.h"

namespace app {

class MainWindow;

class EventBindings {
 public:
  EventBindings(MainWindow& window, Dialogs& dialogs) : window_(window), dialogs_(dialogs) {}

  void OnClicked(ControlId button);
  void OnRightPressed(ControlId control);
  void OnCounterTick();

 private:
  MainWindow& window_;
  Dialogs& dialogs_;
};

}  // namespace app
