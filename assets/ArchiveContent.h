#pragma once

#include "assets/Canvas.h"
#include "resources/ModelWriter.h"

#include <string>
#include <utility>
#include <vector>

namespace tarnwood {

// Everything one archive will hold, before it is encoded: named models and
// named images, each written as one entry in the order added.
struct ArchiveContent {
    std::string fileName;
    std::vector<std::pair<std::string, ModelSource>> models;
    std::vector<std::pair<std::string, Canvas>> images;

    void AddModel(const std::string& name, ModelSource model) { models.emplace_back(name, std::move(model)); }
    void AddImage(const std::string& name, Canvas image) { images.emplace_back(name, std::move(image)); }
};

// "main.pak": the sky, the tree, the table, the falling leaf and the delayed
// model, with their images.
ArchiveContent BuildMainArchive();
// "debug.pak": the light node's model, which has no meshes.
ArchiveContent BuildDebugArchive();
// "utils.pak": the frame-rate label and digits.
ArchiveContent BuildUtilsArchive();
// "clock.pak": the dial, hands, plates, digits, separator and half-day marks.
ArchiveContent BuildClockArchive();
// "calendar.pak": backgrounds, weekday headers, month names, day numbers,
// the empty cell and today's marker.
ArchiveContent BuildCalendarArchive();

}
