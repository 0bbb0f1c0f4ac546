// screen_compare WINDOWS.png HOST.png: compares a screenshot of the Windows edition with the host
// edition's picture of the same moment (tests/support/screen_parity.h says what is compared and
// within which tolerances). Prints each difference; exit code 0 when there is none, 1 when
// there are, 2 when a picture cannot be read.
#include <iostream>

#include "tests/support/screen_parity.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: screen_compare WINDOWS.png HOST.png\n";
        return 2;
    }
    auto windows = rvx::parity::ReadPngPicture(argv[1]);
    auto host = rvx::parity::ReadPngPicture(argv[2]);
    if (!windows || !host) {
        std::cerr << "screen_compare: " << (!windows ? windows.error().detail : host.error().detail) << "\n";
        return 2;
    }
    const auto differences = rvx::parity::CompareScreens(*windows, *host);
    for (const auto& difference : differences) std::cout << difference << "\n";
    return differences.empty() ? 0 : 1;
}
