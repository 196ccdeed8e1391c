#include "assets/ArchiveWriter.h"

#include "assets/PngEncoder.h"
#include "resources/ModelWriter.h"
#include "resources/PakArchive.h"

#include <limits>
#include <vector>

namespace tarnwood {

namespace {

bool Add(PakArchive& archive, const std::string& name, const std::vector<std::uint8_t>& bytes, std::string& problem)
{
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        problem = "entry \"" + name + "\" is too large";
        return false;
    }
    std::string reason;
    if (!archive.AddEntry(name, bytes.data(), static_cast<std::int32_t>(bytes.size()), reason)) {
        problem = "entry \"" + name + "\": " + reason;
        return false;
    }
    return true;
}

}

bool WriteArchive(const ArchiveContent& content, const std::string& directory, std::string& problem)
{
    PakArchive archive;
    for (const auto& [name, model] : content.models) {
        std::vector<std::uint8_t> bytes;
        std::string reason;
        if (!ModelWriter::Build(model, bytes, reason)) {
            problem = content.fileName + ": model \"" + name + "\": " + reason;
            return false;
        }
        if (!Add(archive, name, bytes, reason)) {
            problem = content.fileName + ": " + reason;
            return false;
        }
    }
    for (const auto& [name, image] : content.images) {
        const std::vector<std::uint8_t> png = EncodePng(image);
        if (png.empty()) {
            problem = content.fileName + ": image \"" + name + "\" could not be encoded";
            return false;
        }
        std::string reason;
        if (!Add(archive, name, png, reason)) {
            problem = content.fileName + ": " + reason;
            return false;
        }
    }
    std::string reason;
    if (!archive.Save(directory + "/" + content.fileName, reason)) {
        problem = reason;
        return false;
    }
    return true;
}

}
