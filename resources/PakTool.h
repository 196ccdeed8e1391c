#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tarnwood {

// The archive command-line tool, on the same PakArchive code the scene uses:
//   list ARCHIVE              one line per entry: size in bytes, a tab, the name
//                             (escaped as EscapedName does)
//   extract ARCHIVE DIR       each entry to DIR/<name>, byte for byte
//   create ARCHIVE FILE...    a new archive of the files, named as given
//   --help
class PakTool {
public:
    static constexpr int success = 0;
    static constexpr int failure = 1;
    static constexpr int badUsage = 2;

    // Runs the command in `args` (the program name not included). Results go
    // to `out`; each problem is one line on `err` naming the file. Returns
    // success, failure or badUsage as the process exit status.
    static int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

}
