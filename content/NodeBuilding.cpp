#include "content/NodeBuilding.h"

namespace tarnwood {

std::unique_ptr<SceneNode> NodeWithEndlessTrack(Behaviour behaviour, int selector, int selector2, const char* archive,
                                                const char* entry)
{
    auto node = std::make_unique<SceneNode>();
    if (archive != nullptr && entry != nullptr)
        node->LoadModel(archive, entry);
    node->script.AddCue();
    AnimationTrack track(1, 1, 0.0);
    track.Configure(behaviour, selector, selector2, 0.0, 0.0, 0.0);
    node->script.AddTrack(track);
    node->script.Fire(0);
    return node;
}

std::unique_ptr<SceneNode> ModelNode(const std::string& archive, const std::string& entry)
{
    auto node = std::make_unique<SceneNode>();
    node->LoadModel(archive, entry);
    return node;
}

}
