// wine_posix.cpp - a native Linux test never runs under Wine.
#include "support/wine.h"

namespace orb::test {

bool RunningUnderWine() { return false; }

}  // namespace orb::test
