// orbdl_main.cpp - process entry of orbdl.
//
// The exit status carries no result: the user learns the outcome from the
// one final message.
#include "app/orbdl_app.h"
#include "platform/process.h"

int main(int argc, char** argv) {
  COrbdlApp app(orb::platform::CommandLineArguments(argc, argv));
  app.InitInstance();
  return 0;
}
