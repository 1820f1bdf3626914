// The main of a fuzz target in the normal test build: feeds the target every kept input found in
// the files and folders given on the command line, and the empty input, each once. A fault shows
// as the sanitizers' report and a failed run; a folder that is missing fails the run too, so a
// misspelt corpus cannot pass unnoticed.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// Each input is fed from a block of exactly its size, so that the address sanitizer reports a
// read one byte past it.
bool Replay(const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(stream)),
                                  std::istreambuf_iterator<char>());
    const auto block = std::make_unique<uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), block.get());
    std::fprintf(stderr, "%s (%zu bytes)\n", file.c_str(), bytes.size());
    LLVMFuzzerTestOneInput(block.get(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const auto empty = std::make_unique<uint8_t[]>(0);
    LLVMFuzzerTestOneInput(empty.get(), 0);

    size_t replayed = 0;
    for (int index = 1; index < argc; ++index) {
        const std::filesystem::path path(argv[index]);
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) {
            if (!Replay(path)) {
                return 1;
            }
            ++replayed;
            continue;
        }
        if (!std::filesystem::is_directory(path, error)) {
            std::fprintf(stderr, "no such file or folder: %s\n", path.c_str());
            return 1;
        }
        // In name order, so that a run reads the same in every log.
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(path)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            if (!Replay(file)) {
                return 1;
            }
            ++replayed;
        }
    }
    std::fprintf(stderr, "%zu inputs replayed\n", replayed);
    return 0;
}
