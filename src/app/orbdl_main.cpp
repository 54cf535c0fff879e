// orbdl_main.cpp - process entry of orbdl.
//
// The exit status carries no result: the user learns the outcome from the
// one final message.
#include <string>

#include "app/orbdl_app.h"
#include "device/exec_scsi_vxd.h"
#include "platform/process.h"
#include "virtual_handheld/install.h"

int main(int argc, char** argv) {
  // Tests and demonstrations put a virtual handheld in place of the real
  // devices before anything asks about them; a broken description must not
  // quietly fall back to the real devices.
  std::string handheldError;
  if (orb::virtual_handheld::InstallFromEnvironment(&handheldError) == orb::virtual_handheld::InstallResult::kFailed) {
    orb::platform::WriteStderr("orbdl: virtual handheld: " + handheldError + "\n");
    return 2;
  }
  ScsiPassThroughDriver::Load();
  {
    COrbdlApp app(orb::platform::CommandLineArguments(argc, argv));
    app.InitInstance();
  }
  ScsiPassThroughDriver::Unload();
  return 0;
}
