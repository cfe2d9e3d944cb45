// Writes the fuzzer's BMP seeds, at two scales, into the folder the argument names.
#include <fstream>
#include <string>
#include "bmp_seeds.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    for (int scale : {1, 3}) {
        for (const BmpSeed& seed : MakeBmpSeeds(scale)) {
            std::ofstream file(
                std::string(argv[1]) + "/" + seed.name + "-" + std::to_string(scale) + ".bmp",
                std::ios::binary);
            file.write(reinterpret_cast<const char*>(seed.bytes.data()),
                       static_cast<std::streamsize>(seed.bytes.size()));
        }
    }
    return 0;
}
