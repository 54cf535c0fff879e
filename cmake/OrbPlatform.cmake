# Picks the platform layer and the per-platform source files.
#
# Every subsystem that has a Windows and a POSIX implementation of one class
# keeps them side by side as name_win32.cpp / name_posix.cpp; orb_platform_sources
# turns a list of base names into the right file list for this build.
if(WIN32)
  set(ORB_PLATFORM win32)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # Fully static: the programs and tests run on a bare Windows (or Wine prefix)
  # without the MinGW runtime DLLs beside them.
  add_link_options(-static -static-libgcc -static-libstdc++)
else()
  set(ORB_PLATFORM posix)
endif()

function(orb_platform_sources out)
  set(files)
  foreach(base IN LISTS ARGN)
    list(APPEND files ${base}_${ORB_PLATFORM}.cpp)
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()
