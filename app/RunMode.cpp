#include "app/RunMode.h"

#include <sstream>

namespace tarnwood {

CommandLine ParseCommandLine(const std::string& text)
{
    std::istringstream in(text);
    std::string word;
    in >> word;
    CommandLine result;
    in >> result.previewHandle;
    if (in.fail())
        result.previewHandle = 0;

    // The host's switch may start with '/', '-' or anything else: only the
    // second character is examined for s and c, so "xs" and "/c:1234" count.
    const char second = word.size() > 1 ? word[1] : '\0';
    if (second == 's' || second == 'S')
        result.mode = RunMode::Screensaver;
    else if (second == 'c' || second == 'C')
        result.mode = RunMode::Configuration;
    else if (word == "/p" || word == "/P")
        result.mode = RunMode::Preview;
    else
        result.mode = RunMode::Scene;
    return result;
}

std::string JoinArguments(int argc, const char* const* argv)
{
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            text += ' ';
        text += argv[i];
    }
    return text;
}

}
