#include "media/MediaGenerator.h"

#include <filesystem>
#include <functional>
#include <system_error>

#include "kmf/KmfLevel.h"
#include "kmf/LevelText.h"
#include "kmf/ShippedLevels.h"
#include "media/GuiMedia.h"
#include "media/Meshes.h"
#include "media/SkyWaterMedia.h"
#include "media/Sounds.h"
#include "media/TerrainMedia.h"
#include "media/TgaFile.h"
#include "media/Textures.h"

namespace media {
namespace {

struct TextureEntry {
    const char* name;
    Image (*make)();
};

struct MeshEntry {
    const char* name;
    XMesh (*make)();
};

// Names and case exactly as the game asks for them.
const TextureEntry kTextures[] = {
    {"XRayFrame.tga", MakeXRayFrame},
    {"plstart.tga", MakePlayerStart},
    {"Logo.tga", MakeLogo},
    {"Grid.tga", MakeGrid},
    {"BallShadow.tga", MakeBallShadow},
    {"coinshadow.tga", MakeCoinShadow},
    {"coin.tga", MakeCoin},
    {"Bomb.tga", MakeBomb},
    {"goal.tga", MakeGoal},
    {"ring.tga", MakeRing},
    {"particle.tga", MakeParticle},
};

const MeshEntry kMeshes[] = {
    {"board.x", MakeBoardMesh}, {"ball.x", MakeBallMesh},           {"shadowplane.X", MakeShadowPlaneMesh},
    {"coin.X", MakeCoinMesh},   {"bombplane.X", MakeBombPlaneMesh}, {"goal.X", MakeGoalMesh},
};

std::string LevelFileName(int n)
{
    return "kMedia/kMaps/level" + std::to_string(n) + ".kmf";
}

}  // namespace

std::vector<std::string> MediaFileNames()
{
    std::vector<std::string> names;
    for (const TextureEntry& t : kTextures) names.push_back(std::string("kMedia/") + t.name);
    for (const MeshEntry& m : kMeshes) names.push_back(std::string("kMedia/") + m.name);
    for (int n = 1; n <= kmf::kShippedLevelCount; ++n) names.push_back(LevelFileName(n));
    for (const std::string& name : SoundFileNames()) names.push_back(name);
    for (const std::string& name : SkyWaterFileNames()) names.push_back(name);
    for (const std::string& name : TerrainMediaFileNames()) names.push_back(name);
    for (const std::string& name : GuiMediaFileNames()) names.push_back(name);
    return names;
}

bool GenerateMedia(const std::string& root, std::string& error)
{
    namespace fs = std::filesystem;
    const fs::path base(root);
    std::error_code ec;
    fs::create_directories(base / "kMedia" / "kMaps", ec);
    if (ec) {
        error = "cannot create " + (base / "kMedia" / "kMaps").string() + ": " + ec.message();
        return false;
    }
    auto write = [&](const std::string& rel, const std::vector<std::uint8_t>& bytes) {
        return kmf::WriteFileBytes((base / rel).string(), bytes, error);
    };
    for (const TextureEntry& t : kTextures)
        if (!write(std::string("kMedia/") + t.name, EncodeTga(t.make()))) return false;
    for (const MeshEntry& m : kMeshes) {
        const std::string text = m.make().ToText();
        if (!write(std::string("kMedia/") + m.name, std::vector<std::uint8_t>(text.begin(), text.end()))) return false;
    }
    for (int n = 1; n <= kmf::kShippedLevelCount; ++n) {
        kmf::LevelText design;
        std::string why;
        if (!kmf::CompileLevelText(kmf::ShippedLevelText(n), design, why)) {
            error = "tools/levels/level" + std::to_string(n) + ".txt: " + why;
            return false;
        }
        if (!write(LevelFileName(n), kmf::SerializeKmf(design.level))) return false;
    }
    if (!WriteSounds(root, error)) return false;
    if (!WriteSkyWaterMedia(root, error)) return false;
    if (!GenerateGuiMedia(root, error)) return false;
    return GenerateTerrainMedia(root, error);
}

}  // namespace media
