# One warning set for every target of our own; third-party code (googletest)
# is built without it.
set(ORB_WARNING_FLAGS
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  -Wcast-qual -Wformat=2 -Wimplicit-fallthrough -Wmissing-declarations
  -Wundef -Wunused -Wvla)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND ORB_WARNING_FLAGS -Wduplicated-cond -Wlogical-op)
endif()
if(ORB_WERROR)
  list(APPEND ORB_WARNING_FLAGS -Werror)
endif()

function(orb_target_warnings target)
  target_compile_options(${target} PRIVATE ${ORB_WARNING_FLAGS})
endfunction()
