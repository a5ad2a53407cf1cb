// Writes random programs of the fuzz target's generator to files, for the differential test:
//   generate_programs SEED COUNT DIR   writes DIR/program<N>.bas, N = 1..COUNT
// The same seed writes the same programs.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "fuzz/program_generator.h"

int main(int argc, char **argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: generate_programs SEED COUNT DIR\n");
        return 2;
    }
    std::mt19937 random(static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)));
    int count = std::atoi(argv[2]);
    for (int n = 1; n <= count; ++n) {
        std::vector<uint8_t> bytes(100 + random() % 400);
        for (uint8_t &b : bytes)
            b = static_cast<uint8_t>(random());
        std::string path = std::string(argv[3]) + "/program" + std::to_string(n) + ".bas";
        std::ofstream out(path, std::ios::binary);
        out << fuzz::generate_program(bytes.data(), bytes.size());
        if (!out.flush()) {
            std::fprintf(stderr, "generate_programs: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
