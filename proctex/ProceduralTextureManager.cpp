#include "proctex/ProceduralTextureManager.h"

#include "proctex/FireState.h"
#include "proctex/PlasmaGenerate.h"
#include "proctex/TextureDescription.h"

#include <algorithm>

namespace tarnwood {

namespace {

std::unique_ptr<ProceduralTexture> MakeTexture(const TextureDescription& d)
{
    // Checked before the generator's data is made: a fire's heat grids grow
    // with the size asked for.
    if (!ProceduralTexture::SizeAccepted(d.width, d.height))
        return nullptr;
    switch (d.kind) {
    case TextureDescription::Kind::Plasma: {
        ProceduralTexture::UserData colour(std::make_unique<PlasmaColour>(d.colour).release(), &PlasmaFreeUserData);
        return ProceduralTexture::Create(&PlasmaGenerate, std::move(colour), d.width, d.height);
    }
    case TextureDescription::Kind::Fire: {
        std::unique_ptr<FireState> state = FireState::Create(d.width, d.height);
        if (!state)
            return nullptr;
        ProceduralTexture::UserData fire(state.release(), &FireFreeUserData);
        return ProceduralTexture::Create(&FireGenerate, std::move(fire), d.width, d.height);
    }
    }
    return nullptr;
}

}

ProceduralTextureManager& ProceduralTextureManager::Instance()
{
    static ProceduralTextureManager instance;
    return instance;
}

std::vector<ProceduralTextureManager::Entry>::iterator ProceduralTextureManager::Find(const std::string& description)
{
    return std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.description == description; });
}

std::vector<ProceduralTextureManager::Entry>::const_iterator ProceduralTextureManager::Find(const std::string& description) const
{
    return std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.description == description; });
}

GLuint ProceduralTextureManager::Acquire(const std::string& description)
{
    if (auto entry = Find(description); entry != entries_.end()) {
        ++entry->count;
        return entry->texture->Name();
    }
    const std::optional<TextureDescription> parsed = ParseTextureDescription(description);
    if (!parsed)
        return 0;
    std::unique_ptr<ProceduralTexture> texture = MakeTexture(*parsed);
    if (!texture)
        return 0;
    const GLuint name = texture->Name();
    entries_.push_back(Entry{std::move(texture), description, 1});
    return name;
}

void ProceduralTextureManager::Release(const std::string& description)
{
    const auto it = Find(description);
    if (it == entries_.end())
        return;
    if (--it->count > 0)
        return;
    // Destroying the texture deletes its OpenGL object as well.
    entries_.erase(it);
}

void ProceduralTextureManager::UpdateAll(std::uint32_t tick)
{
    const auto time = static_cast<std::int32_t>(tick);
    for (Entry& entry : entries_)
        entry.texture->Regenerate(time);
}

int ProceduralTextureManager::ReferenceCount(const std::string& description) const
{
    const auto it = Find(description);
    return it == entries_.end() ? 0 : it->count;
}

int ProceduralTextureManager::TotalReferenceCount() const
{
    int total = 0;
    for (const Entry& entry : entries_)
        total += entry.count;
    return total;
}

}
