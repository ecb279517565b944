// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/Fixture.h"

#include <cstdlib>

namespace quillet::testing {

std::string sourceDir() {
    const char* dir = std::getenv("QUILLET_SOURCE_DIR");
    return dir && *dir ? dir : QUILLET_TEST_SOURCE_DIR;
}

std::string buildDir() {
    const char* dir = std::getenv("QUILLET_BUILD_DIR");
    return dir && *dir ? dir : QUILLET_TEST_BUILD_DIR;
}

}  // namespace quillet::testing
