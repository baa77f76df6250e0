# An optimised build is hardened the way Debian builds its packages: the compiler and linker
# flags that dpkg-buildflags gives with every hardening feature on (stack protector, fortified
# functions, full RELRO with immediate binding, position-independent executables). Included
# before any target exists, so that every program and library gets them.
option(DORVANE_HARDEN "Add Debian's hardening flags (dpkg-buildflags) to optimised builds" ON)
if(DORVANE_HARDEN AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$"
   AND NOT DORVANE_SANITIZE AND NOT DORVANE_FUZZ)
  find_program(DORVANE_DPKG_BUILDFLAGS dpkg-buildflags)
  if(DORVANE_DPKG_BUILDFLAGS)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
      execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                DEB_CXXFLAGS_MAINT_STRIP=-g ${DORVANE_DPKG_BUILDFLAGS} --get ${kind}
        OUTPUT_VARIABLE flags_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE)
    endforeach()
    # The build type's own optimisation stays; dpkg-buildflags' -O2 only repeats it.
    string(APPEND CMAKE_CXX_FLAGS " ${flags_CPPFLAGS} ${flags_CXXFLAGS}")
    string(APPEND CMAKE_EXE_LINKER_FLAGS " ${flags_LDFLAGS}")
    string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${flags_LDFLAGS}")
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    message(STATUS "Hardened with dpkg-buildflags")
  else()
    message(WARNING "dpkg-buildflags not found: the optimised build is not hardened")
  endif()
endif()
