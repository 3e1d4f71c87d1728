// Ruvela, edition 11.
#include "run/program.hpp"

int main(int argc, char** argv) {
    return ruvela::program_main(ruvela::Edition::v11, argc, argv);
}
