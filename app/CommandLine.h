#pragma once

// What the program was asked to do by its arguments. Any argument but these two starts it
// hidden in the notification area, as before.
enum class LaunchRequest { kRun, kOptimize, kUsage };

// "/optimize" or "-optimize" in any letter case asks for a pass; "/?" for the list of arguments,
// which wins over everything else.
LaunchRequest ParseLaunchRequest(int argc, char** argv);

extern const char kUsageText[];

// For "/optimize": asks the running copy for a pass, starting one hidden (as "-m" does) when
// none runs, and never stays resident itself, so a script or scheduled task waiting for it ends.
// True when the request was delivered.
bool RequestPassFromRunningCopy();
