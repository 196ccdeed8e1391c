#include "resources/PakTool.h"

#include "resources/EscapedName.h"
#include "resources/PakArchive.h"

#include <filesystem>

namespace tarnwood {

namespace {

constexpr const char* programName = "tarnwood-pak";

constexpr const char* usageText =
    "Usage: tarnwood-pak list ARCHIVE\n"
    "       tarnwood-pak extract ARCHIVE DIR\n"
    "       tarnwood-pak create ARCHIVE FILE...\n"
    "\n"
    "list     print each entry of ARCHIVE in order: its size in bytes, a tab, its name\n"
    "         (control characters, invalid UTF-8 and \\ shown as \\n, \\t, \\r, \\\\, \\xHH)\n"
    "extract  write each entry of ARCHIVE to DIR/<name>, creating folders as needed;\n"
    "         names that would leave DIR (absolute, or with a \"..\" part) and symbolic\n"
    "         links inside DIR are refused; a later entry of the same name is skipped\n"
    "         with a warning; a file that cannot be written whole is not left behind\n"
    "create   write a new ARCHIVE holding the FILEs in the order given, each named by\n"
    "         its path exactly as given; an existing ARCHIVE is replaced only once\n"
    "         the new one is complete\n"
    "\n"
    "Exit status: 0 on success, 1 on a failure, 2 on bad usage.\n";

int Fail(std::ostream& err, const std::string& message)
{
    err << programName << ": " << message << '\n';
    return PakTool::failure;
}

void Warn(std::ostream& err, const std::string& message)
{
    err << programName << ": warning: " << message << '\n';
}

int BadUsage(std::ostream& err, const std::string& message)
{
    err << programName << ": " << message << " (see " << programName << " --help)\n";
    return PakTool::badUsage;
}

int List(const std::string& path, std::ostream& out, std::ostream& err)
{
    std::string error;
    const std::unique_ptr<PakArchive> archive = PakArchive::Load(path, error);
    if (!archive)
        return Fail(err, error);
    for (std::size_t i = 0; i < archive->EntryCount(); ++i)
        out << archive->EntryAt(i).size << '\t' << EscapedName(archive->EntryName(i)) << '\n';
    out.flush();
    if (!out)
        return Fail(err, "cannot write the listing of " + EscapedName(path));
    return PakTool::success;
}

int Extract(const std::string& path, const std::string& folder, std::ostream& err)
{
    std::string error;
    const std::unique_ptr<PakArchive> archive = PakArchive::Load(path, error);
    if (!archive)
        return Fail(err, error);
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (failure)
        return Fail(err, EscapedName(folder) + ": cannot create folder: " + failure.message());
    const std::string prefix = folder.ends_with('/') ? folder : folder + "/";
    std::vector<std::string> problems;
    std::vector<std::string> warnings;
    const bool extracted = archive->ExtractAll(prefix, problems, warnings);
    for (const std::string& warning : warnings)
        Warn(err, warning);
    for (const std::string& problem : problems)
        Fail(err, problem);
    return extracted ? PakTool::success : PakTool::failure;
}

int Create(const std::string& path, const std::vector<std::string>& files, std::ostream& err)
{
    PakArchive archive;
    std::string error;
    for (const std::string& file : files) {
        // Only the first entry of a name can ever be found.
        if (archive.GetEntry(file).bytes != nullptr) {
            Warn(err, EscapedName(file) + ": given more than once; added only the first time");
            continue;
        }
        if (!archive.AddFile(file, error))
            return Fail(err, error);
    }
    if (!archive.Save(path, error))
        return Fail(err, error);
    return PakTool::success;
}

}

int PakTool::Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty())
        return BadUsage(err, "no command given");
    const std::string& command = args[0];
    if (command == "--help") {
        if (args.size() != 1)
            return BadUsage(err, "--help takes no arguments");
        out << usageText;
        out.flush();
        return out ? success : failure;
    }
    if (command == "list") {
        if (args.size() != 2)
            return BadUsage(err, "list needs exactly one ARCHIVE");
        return List(args[1], out, err);
    }
    if (command == "extract") {
        if (args.size() != 3)
            return BadUsage(err, "extract needs an ARCHIVE and a DIR");
        if (args[2].empty())
            return BadUsage(err, "extract needs a DIR that is not empty");
        return Extract(args[1], args[2], err);
    }
    if (command == "create") {
        if (args.size() < 3)
            return BadUsage(err, "create needs an ARCHIVE and at least one FILE");
        return Create(args[1], std::vector<std::string>(args.begin() + 2, args.end()), err);
    }
    return BadUsage(err, "unknown command \"" + EscapedName(command) + "\"");
}

}
