#include "resources/PakTool.h"

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
    "extract  write each entry of ARCHIVE to DIR/<name>, creating folders as needed;\n"
    "         names that would leave DIR (absolute, or with a \"..\" part) are refused\n"
    "create   write a new ARCHIVE holding the FILEs in the order given, each named by\n"
    "         its path exactly as given\n"
    "\n"
    "Exit status: 0 on success, 1 on a failure, 2 on bad usage.\n";

int Fail(std::ostream& err, const std::string& message)
{
    err << programName << ": " << message << '\n';
    return PakTool::failure;
}

int BadUsage(std::ostream& err, const std::string& message)
{
    err << programName << ": " << message << " (see " << programName << " --help)\n";
    return PakTool::badUsage;
}

int List(const std::string& path, std::ostream& out, std::ostream& err)
{
    std::string error;
    const std::unique_ptr<PakArchive> archive = PakArchive::Load(path, &error);
    if (!archive)
        return Fail(err, error);
    for (std::size_t i = 0; i < archive->EntryCount(); ++i)
        out << archive->EntryAt(i).size << '\t' << archive->EntryName(i) << '\n';
    out.flush();
    if (!out)
        return Fail(err, "cannot write the listing of " + path);
    return PakTool::success;
}

int Extract(const std::string& path, const std::string& folder, std::ostream& err)
{
    std::string error;
    const std::unique_ptr<PakArchive> archive = PakArchive::Load(path, &error);
    if (!archive)
        return Fail(err, error);
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (failure)
        return Fail(err, folder + ": cannot create folder: " + failure.message());
    const std::string prefix = folder.ends_with('/') ? folder : folder + "/";
    std::vector<std::string> problems;
    if (archive->ExtractAll(prefix, &problems))
        return PakTool::success;
    for (const std::string& problem : problems)
        Fail(err, problem);
    return PakTool::failure;
}

int Create(const std::string& path, const std::vector<std::string>& files, std::ostream& err)
{
    PakArchive archive;
    std::string error;
    for (const std::string& file : files) {
        if (!archive.AddFile(file, &error))
            return Fail(err, error);
    }
    if (!archive.Save(path, &error))
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
    return BadUsage(err, "unknown command \"" + command + "\"");
}

}
