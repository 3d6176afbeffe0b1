// A plug-in is someone else's code running inside this process. Every call
// into one goes through this guard, so a plug-in that faults fails its own
// attempt instead of ending the program halfway through a wallpaper change.
#pragma once
#include <windows.h>

// Runs call(data). False when an exception left the call unhandled; the call
// is then abandoned at the fault and the code is kept in *exceptionCode.
// Exceptions that the plug-in handles itself never reach the guard.
bool RunGuardedPluginCall(void (*call)(void* data), void* data, DWORD* exceptionCode);

// The same for any callable: CallPluginGuarded([&] { result = entry(...); }).
template <typename Call>
bool CallPluginGuarded(Call&& call) {
  DWORD code = 0;
  return RunGuardedPluginCall([](void* data) { (*static_cast<Call*>(data))(); },
                              const_cast<void*>(static_cast<const void*>(&call)), &code);
}
