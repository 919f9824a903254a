// The long soak: quorvel_soak [pages] runs pages / 500 series of 500 names in Full Auto with every
// fault switched on, and a series in each other mode; prints the figures, and exits non-zero on
// any harm.
#include <cstdlib>

#include "tests/soak.h"

int main(int argc, char** argv) {
  return quorvel::harness::Soak(argc > 1 ? std::atoi(argv[1]) : 100000) ? 0 : 1;
}
