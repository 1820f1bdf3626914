// Settings files as a user's disk holds them, damaged or not: any bytes are read as a settings
// file, every key found is read back, a file written without a change keeps its bytes, and a
// file written after a change reads the same plus that change.

#include "FuzzCheck.h"
#include "IniFileStore.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

std::string TemporaryPath(const char* suffix)
{
    return (std::filesystem::temp_directory_path() /
            ("IniFileFuzzer-" + std::to_string(getpid()) + suffix))
        .string();
}

void Collect(const IniFileStore& store, const std::string& node,
             std::vector<std::pair<std::string, std::string>>& values, int depth)
{
    SV_FUZZ_CHECK(depth < 10000);
    for (const std::string& name : store.ChildNames(node)) {
        const std::string key = node.empty() ? name : node + "/" + name;
        SV_FUZZ_CHECK(store.NodeExists(key));
        if (const std::string* value = store.Find(key)) {
            values.emplace_back(key, *value);
        }
        Collect(store, key, values, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = TemporaryPath(".ini");
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    IniFileStore store(path, "1_0_0", "Fuzz");
    SV_FUZZ_CHECK(store.Load() == IniFileStore::LoadResult::kRead);
    std::vector<std::pair<std::string, std::string>> values;
    Collect(store, "", values, 0);

    SV_FUZZ_CHECK(store.Save());
    if (size > 0) {
        std::ifstream file(path, std::ios::binary);
        const std::string written{std::istreambuf_iterator<char>(file), {}};
        SV_FUZZ_CHECK(written == std::string(reinterpret_cast<const char*>(data), size));
    }

    // A changed value reads back, and everything else as it was.
    SV_FUZZ_CHECK(store.Set("Fuzz/Added", "value"));
    SV_FUZZ_CHECK(store.Save());
    IniFileStore again(path, "1_0_0", "Fuzz");
    SV_FUZZ_CHECK(again.Load() == IniFileStore::LoadResult::kRead);
    std::vector<std::pair<std::string, std::string>> valuesAgain;
    Collect(again, "", valuesAgain, 0);
    std::erase(valuesAgain, std::pair<std::string, std::string>("Fuzz/Added", "value"));
    std::erase_if(values, [](const auto& entry) { return entry.first == "Fuzz/Added"; });
    SV_FUZZ_CHECK(values == valuesAgain);
    std::filesystem::remove(path);
    return 0;
}
