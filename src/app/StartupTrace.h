#pragma once

#include <functional>

class QWidget;

// Where the start-up time goes, for bench_startup. With TARNBUS_STARTUP_TRACE
// set in the environment each phase is written to stderr as
// "tarnbus-startup <phase> <ns>", the time on the monotonic clock that the
// benchmark reads too; without it nothing is written and nothing is watched.
namespace StartupTrace {

bool enabled();
// Writes the phase with the time now.
void mark(const char *phase);
// Marks "mapped" once the window is first exposed on the screen and
// "painted" once its first picture is drawn, then runs then (if any). Call
// after show().
void watchWindow(QWidget *window, std::function<void()> then = {});

} // namespace StartupTrace
