#pragma once

#include <string>

namespace tarnwood {

enum class RunMode {
    Screensaver,
    Configuration,
    Preview,
    Scene,
};

// The run mode chosen by the host's command line, and the preview pane's
// window handle (0 when the line carries no number after the first word).
struct CommandLine {
    RunMode mode = RunMode::Scene;
    int previewHandle = 0;
};

// Selects the run mode from the command-line text (the arguments without the
// program name). Only the first whitespace-delimited word and the integer
// after it are looked at; see the mode rules in the implementation.
CommandLine ParseCommandLine(const std::string& text);

// The command-line text a program receives on Linux: argv[1..] joined by
// single spaces (empty when there are no arguments).
std::string JoinArguments(int argc, const char* const* argv);

}
