#include "geometry/ImportBatch.h"
#include "geometry/ModelImport.h"
#include "support/GLTestSupport.h"

#include <assimp/Importer.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const corpusDir = "/usr/share/assimp/models";

// Files that never reach our code (none at present: a file that hangs or
// crashes the importer fails in the import's child process, and faces
// without corners, which once aborted the importer's triangulation, are
// dropped before post-processing).
const std::set<std::string> skipped = {};

class ImportCorpusTest : public GLTest {};

// Empty when the import behaved, else what went wrong.
std::string check(const Mesh& mesh, const std::string& printed)
{
    if (!mesh.uploaded) {
        const std::string first = "Error while loading Collada file: \n";
        if (printed.find(first) == std::string::npos || printed.back() != '\n')
            return "not uploaded and no error message";
        return {};
    }
    if (mesh.vertexCount < 0 || mesh.positions.size() != 3 * size_t(mesh.vertexCount))
        return "positions do not match the vertex count";
    if (!mesh.normals.empty() && mesh.normals.size() != mesh.positions.size())
        return "normals do not match the vertex count";
    if (!mesh.colors.empty() && mesh.colors.size() != mesh.positions.size())
        return "colours do not match the vertex count";
    if (!std::all_of(mesh.positions.begin(), mesh.positions.end(), [](float p) { return std::isfinite(p); }))
        return "non-finite position";
    for (uint32_t index : mesh.indices)
        if (index >= uint32_t(mesh.vertexCount))
            return "index " + std::to_string(index) + " past " + std::to_string(mesh.vertexCount) + " vertices";
    if (mesh.indexCount != -1 && mesh.indexCount % 3 != 0)
        return "index count not a multiple of three";
    return {};
}

} // namespace

// Every model of the importer's own test corpus, broken ones included, either
// loads into a consistent Mesh or is reported.
TEST_F(ImportCorpusTest, EveryCorpusFileLoadsOrIsReported)
{
    ASSERT_TRUE(fs::is_directory(corpusDir))
        << corpusDir << " is missing: install the assimp-testmodels package (scripts/install-deps.sh)";

    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(corpusDir))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());

    Assimp::Importer formats;
    std::vector<fs::path> models;
    for (const fs::path& file : files) {
        const std::string extension = file.extension().string();
        if (!extension.empty() && formats.IsExtensionSupported(extension) &&
            !skipped.count(fs::relative(file, corpusDir).string()))
            models.push_back(file);
    }
    // Read side by side, as one load reads its files; each result goes
    // through the same checks and upload as a single import's.
    ImportBatch batch(importTimeoutSeconds());
    for (const fs::path& file : models)
        batch.add(file.string(), [path = file.string()] { return readModel(path, ImportOptions{}); });
    int loaded = 0, reported = 0;
    for (const fs::path& file : models) {
        const std::string relative = fs::relative(file, corpusDir).string();
        Mesh mesh;
        const ImportResult result = batch.take(file.string());
        // Some importers chat on stderr; keep the log to failures and the summary.
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        applyImportResult(file.string(), result, mesh, ImportOptions{});
        const std::string chatter = testing::internal::GetCapturedStderr();
        const std::string printed = testing::internal::GetCapturedStdout();
        const std::string problem = check(mesh, printed);
        EXPECT_TRUE(problem.empty()) << relative << ": " << problem << "\n" << printed << chatter;
        (mesh.uploaded ? loaded : reported)++;
    }
    std::cout << "corpus: " << loaded << " loaded, " << reported << " reported" << std::endl;
    EXPECT_GT(loaded, 0);
}
