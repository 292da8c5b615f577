# The toolchain of the shipped executable: Zig's clang, targeting x86-64 Linux
# with glibc 2.17 (what ESXi's user space can run) and linking its own libc++
# and unwinder statically, so the tool needs no C++ runtime on the host.
# tools/deps.sh --esxi installs it (configuring runs it when Zig is missing);
# the environment variable KXFC_ZIG_DIR names another Zig 0.11.
set(kxfc_zig_dir "$ENV{KXFC_ZIG_DIR}")
if(NOT kxfc_zig_dir)
  set(kxfc_zig_dir /opt/kxfc-toolchain/zig-0.11.0)
endif()
if(NOT EXISTS "${kxfc_zig_dir}/zig")
  message(STATUS "No Zig in ${kxfc_zig_dir}: tools/deps.sh --esxi installs it")
  execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../tools/deps.sh --esxi)
endif()
if(NOT EXISTS "${kxfc_zig_dir}/zig")
  message(FATAL_ERROR "No Zig in ${kxfc_zig_dir}: run tools/deps.sh --esxi "
    "(or configure with -DKXFC_ESXI_TOOLCHAIN=OFF to build with the system compiler)")
endif()
# The compilers are two small scripts in the build tree that name the Zig
# chosen here, so a build runs the Zig it was configured with.
set(kxfc_wrappers "${CMAKE_BINARY_DIR}/toolchain")
foreach(kxfc_tool cc c++)
  set(kxfc_wrapper "${kxfc_wrappers}/zig-${kxfc_tool}")
  file(WRITE "${kxfc_wrapper}"
    "#!/bin/sh\nexec \"${kxfc_zig_dir}/zig\" ${kxfc_tool} -target x86_64-linux-gnu.2.17 \"$@\"\n")
  file(CHMOD "${kxfc_wrapper}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
endforeach()
set(CMAKE_C_COMPILER "${kxfc_wrappers}/zig-cc")
set(CMAKE_CXX_COMPILER "${kxfc_wrappers}/zig-c++")
# Tells the project to build what it links from source with this toolchain
# (Debian's GoogleTest is built against libstdc++).
set(KXFC_ESXI_BUILD ON)
