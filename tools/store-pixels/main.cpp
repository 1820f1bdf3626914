// store-pixels: turns a PNG picture into its stored pixels (Platform/Include/StoredPixels.h),
// the form the build compiles the program's images in.
//
//   store-pixels <picture.png> <output>
#include "StoredPixels.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: store-pixels <picture.png> <output>\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> png((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
    svp::DecodedImage image;
    std::string error;
    if (!svp::DecodePng(png.data(), png.size(), image, error)) {
        std::cerr << "store-pixels: " << argv[1] << ": " << error << "\n";
        return 1;
    }
    const std::vector<uint8_t> stored = svp::StorePixels(image);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(stored.data()),
              static_cast<std::streamsize>(stored.size()));
    out.close();
    if (!out) {
        std::cerr << "store-pixels: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
