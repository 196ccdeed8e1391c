#include "resources/Mesh.h"
#include "resources/ModelLoading.h"
#include "resources/ModelWriter.h"
#include "resources/PakArchive.h"
#include "resources/ResourceManager.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace tarnwood {
namespace {

// A private folder holding one archive of `entries` entries of `entrySize`
// bytes plus a model entry "model"; removed at the end of the benchmark.
class BenchArchive {
public:
    BenchArchive(int entries, int entrySize)
        : folder(std::filesystem::temp_directory_path() / ("tarnwood-bench-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(folder);
        PakArchive archive;
        std::string problem;
        const std::vector<std::uint8_t> block(static_cast<std::size_t>(entrySize), 0x5A);
        for (int i = 0; i < entries; ++i)
            archive.AddEntry("entry" + std::to_string(i), block.data(), entrySize, problem);
        std::vector<ModelMeshSource> meshes(16);
        for (ModelMeshSource& mesh : meshes) {
            mesh.texture = "no image";
            mesh.positions.assign(9 * 100, 1.0);
            mesh.normals.assign(9 * 100, 0.0);
            mesh.texCoords.assign(6 * 100, 0.5);
        }
        std::vector<std::uint8_t> model;
        ModelWriter::Build(meshes, model, problem);
        archive.AddEntry("model", model.data(), static_cast<std::int32_t>(model.size()), problem);
        archive.Save(Path(), problem);
    }
    ~BenchArchive() { std::filesystem::remove_all(folder); }

    std::string Folder() const { return folder.string() + "/"; }
    std::string Path() const { return (folder / "bench.pak").string(); }

private:
    std::filesystem::path folder;
};

// Reading a whole archive: one allocation per entry, no later copies.
void ArchiveLoad(benchmark::State& state)
{
    std::string problem;
    const BenchArchive files(64, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto archive = PakArchive::Load(files.Path(), problem);
        benchmark::DoNotOptimize(archive.get());
    }
    state.SetBytesProcessed(state.iterations() * 64 * state.range(0));
}
BENCHMARK(ArchiveLoad)->Arg(1024)->Arg(64 * 1024);

// Name look-up: a linear scan with exact comparison.
void EntryLookUp(benchmark::State& state)
{
    std::string problem;
    const BenchArchive files(64, 16);
    const auto archive = PakArchive::Load(files.Path(), problem);
    for (auto _ : state)
        benchmark::DoNotOptimize(archive->GetEntry("entry63").bytes);
}
BENCHMARK(EntryLookUp);

// Loading a 16-mesh model into a node and giving it back: header parsing
// and reference counting only, since the arrays are used in place.
void ModelLoadAndRelease(benchmark::State& state)
{
    const BenchArchive files(4, 16);
    ResourceManager& manager = ResourceManager::Instance();
    manager.SetBasePath(files.Folder());
    manager.OpenArchive("bench.pak");
    for (auto _ : state) {
        std::vector<std::unique_ptr<Mesh>> meshes;
        benchmark::DoNotOptimize(LoadModelMeshes("bench.pak", "model", meshes));
        ReleaseModelArchive("bench.pak");
    }
    manager.ReleaseArchive("bench.pak");
    manager.SetBasePath("0");
}
BENCHMARK(ModelLoadAndRelease);

}
}

BENCHMARK_MAIN();
