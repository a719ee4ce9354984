#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

// A private resource tree for a fuzz harness, in memory-backed temporary
// storage when there is some. The process works inside it from construction
// on, so the game's loaders find "res/..." there. The fuzzer's command line
// (inputs, corpus folders, -dict=, -artifact_prefix=, ...) is turned into
// absolute paths first, so that relative ones still mean what they meant.
class FuzzTree {
public:
    FuzzTree(const std::string& name, int* argc, char*** argv);
    ~FuzzTree();
    FuzzTree(const FuzzTree&) = delete;
    FuzzTree& operator=(const FuzzTree&) = delete;

    // The repository the harness was built from (TARNWICK_SOURCE_DIR overrides).
    static std::string sourceDir();

    void write(const std::string& path, const std::uint8_t* data, std::size_t size) const;
    void write(const std::string& path, const std::string& text) const;
    // A one-line conversation under the name of every shipped one, in
    // res/txt/: cheap to read, and their content is another harness's job.
    void shortConversations() const;
    // A small picture of width x height pixels cut into 32-pixel tiles of
    // different colours.
    void image(const std::string& path, unsigned width, unsigned height) const;

private:
    std::string root;
};

// Frees every cached tileset whose name is not in `keep`, so that each input
// starts from the same cache and memory does not pile up over a run.
void forgetTilesets(const std::set<std::string>& keep);
