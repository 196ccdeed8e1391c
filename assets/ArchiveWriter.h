#pragma once

#include "assets/ArchiveContent.h"

#include <string>

namespace tarnwood {

// Encodes every model (as a model entry) and image (as a PNG entry) of
// `content` and saves the archive as `directory`/`content.fileName`.
// Returns false, with a one-line reason in `problem`, when an entry cannot be
// encoded or the file cannot be written.
bool WriteArchive(const ArchiveContent& content, const std::string& directory, std::string& problem);

}
