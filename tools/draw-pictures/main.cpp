// draw-pictures: draws the editor's pictures (CE.png with the keyboard and every control piece,
// the About box's logos, the drag cursors and the window icon) and the listing of CE.png.
//
//   draw-pictures --write <Resources folder>   writes them below that folder
//   draw-pictures --check <Resources folder>   answers 1 when a file there is not what the tool
//                                              draws now (the committed pictures are stale)
#include "PictureComparison.h"
#include "PictureSet.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int Write(const pictures::PictureSet& set, const std::filesystem::path& folder)
{
    for (const auto& [name, picture] : set.pictures) {
        const std::filesystem::path path = folder / name;
        std::filesystem::create_directories(path.parent_path());
        pictures::WritePng(picture, path.string());
    }
    for (const auto& [name, text] : set.texts) {
        std::ofstream out(folder / name, std::ios::binary);
        out << text;
        if (!out) {
            std::cerr << "draw-pictures: cannot write " << (folder / name).string() << "\n";
            return 1;
        }
    }
    return 0;
}

int Check(const pictures::PictureSet& set, const std::filesystem::path& folder)
{
    int stale = 0;
    for (const auto& [name, picture] : set.pictures) {
        const std::string why = pictures::CompareWithPng(picture, (folder / name).string());
        if (!why.empty()) {
            std::cerr << "draw-pictures: " << why << "\n";
            ++stale;
        }
    }
    for (const auto& [name, text] : set.texts) {
        if (ReadFile(folder / name) != text) {
            std::cerr << "draw-pictures: " << (folder / name).string()
                      << " is not what the tool writes\n";
            ++stale;
        }
    }
    if (stale > 0) {
        std::cerr << "draw-pictures: " << stale
                  << " file(s) out of date; run the build target \"pictures\"\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || (std::string(argv[1]) != "--write" && std::string(argv[1]) != "--check")) {
        std::cerr << "usage: draw-pictures --write|--check <Resources folder>\n";
        return 2;
    }
    try {
        const pictures::PictureSet set = pictures::DrawAllPictures();
        return std::string(argv[1]) == "--write" ? Write(set, argv[2]) : Check(set, argv[2]);
    } catch (const std::exception& error) {
        std::cerr << "draw-pictures: " << error.what() << "\n";
        return 1;
    }
}
