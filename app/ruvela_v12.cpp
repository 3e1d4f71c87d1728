// Ruvela, edition 12.
#include "run/program.hpp"

int main() {
    return ruvela::program_main(ruvela::Edition::v12);
}
