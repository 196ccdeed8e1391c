#pragma once

#include "scene/AnimationTrack.h"
#include "scene/SceneNode.h"

#include <memory>

namespace tarnwood {

// The entry names of the digit models 0 to 9, the same in every archive that
// holds digits.
inline constexpr const char* kDigits[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

// A new node with one cue holding one endless track (id 1, active) that runs
// `behaviour` with the given selectors, fired at once. `archive`/`entry`, when
// given, are loaded into the node before its cue is added.
std::unique_ptr<SceneNode> NodeWithEndlessTrack(Behaviour behaviour, int selector, int selector2 = 0,
                                                const char* archive = nullptr, const char* entry = nullptr);

// A new node with `entry` of `archive` loaded.
std::unique_ptr<SceneNode> ModelNode(const std::string& archive, const std::string& entry);

}
