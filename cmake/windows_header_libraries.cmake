# The header-only libraries the tools use, for the Windows build: Debian's
# headers copied into the build folder one library at a time, so that the
# host's /usr/include (glibc's headers) never reaches a Windows target.
# Defines the targets find_package gives on Linux.
set(windows_include ${PROJECT_BINARY_DIR}/windows-include)
file(COPY /usr/include/fmt /usr/include/nlohmann /usr/include/cxxopts.hpp DESTINATION ${windows_include})

add_library(fmt::fmt INTERFACE IMPORTED)
target_include_directories(fmt::fmt SYSTEM INTERFACE ${windows_include})
target_compile_definitions(fmt::fmt INTERFACE FMT_HEADER_ONLY) # fmt/os.h has no header-only form
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${windows_include})
add_library(cxxopts::cxxopts INTERFACE IMPORTED)
target_include_directories(cxxopts::cxxopts SYSTEM INTERFACE ${windows_include})
