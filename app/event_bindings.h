// Which command each event of the main window runs. Every command takes what
// it needs from the window when it runs.
#pragma once

#include "app/control_ids.h"
#include "app/dialogs.h"
#include "decode/decode_page.h"
#include "decode/psyqrdcd.h"
#include "qr/generate.h"
#include "save/windows_save.h"

namespace app {

class MainWindow;

class EventBindings {
 public:
  EventBindings(MainWindow& window, Dialogs& dialogs);

  void OnClicked(ControlId button);
  void OnRightPressed(ControlId control);
  void OnCounterTick();

 private:
  // What the five generate commands work with.
  qr::GenerateContext GenerateContext();

  MainWindow& window_;
  Dialogs& dialogs_;
  decode::PsyQrDcd decoder_;
  // Remembers the last file chosen for as long as the window lives.
  decode::DecodePage decode_page_;
  save::WindowsSaveEnvironment save_environment_;
  save::SaveCommands save_commands_;
  const Bytes working_picture_;
};

}  // namespace app
