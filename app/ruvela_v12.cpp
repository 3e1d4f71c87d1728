// Ruvela, edition 12.
#include "run/program.hpp"

int main(int argc, char** argv) {
    return ruvela::program_main(ruvela::Edition::v12, argc, argv);
}
