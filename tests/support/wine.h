// wine.h - whether the tests run under Wine, for the few places where
// Wine's implementation of a system library answers differently from the
// system's own (each use says how).
#pragma once

namespace orb::test {

bool RunningUnderWine();

}  // namespace orb::test
