// Helpers of the tests that run on a real X server (CTest starts them under xvfb-run).
#pragma once

#include <functional>
#include <string>

// Runs a shell command and returns its output without the trailing line ends.
std::string RunShell(const std::string& cmd);

// Calls pump, then done, until done holds or ten seconds of real time pass: X events take real
// time, so these tests cannot use the manual clock.
bool PumpUntil(const std::function<void()>& pump, const std::function<bool()>& done);
