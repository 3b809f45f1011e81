#pragma once

// --bus FILE: the program runs against the virtual adapter instead of USB.
// The program is linked with the system hidapi, as the window is; for --bus
// it starts itself again with the virtual adapter's hidapi preloaded
// (VirtualAdapterLauncher, as the window's --demo does), which answers as the
// adapters of the bus file. Nothing else in the program knows whether it
// talks to hardware.
namespace BusLauncher {

// Call first thing in main(). Returns -1 when the program goes on: without
// --bus, or already started on the virtual adapter. Otherwise the program
// could not be started there and the result is its exit status (the
// message is printed).
int prepare(int argc, char **argv);

} // namespace BusLauncher
