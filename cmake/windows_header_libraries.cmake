# Debian's header-only fmt, nlohmann-json and cxxopts for the Windows build,
# under the targets' usual names: a folder that links only their headers, so
# that the host's /usr/include (glibc's headers among them) never reaches a
# Windows target.
if(NOT TARGET fmt::fmt)
    set(header_root ${PROJECT_BINARY_DIR}/header-libraries)
    file(MAKE_DIRECTORY ${header_root})
    foreach(entry fmt nlohmann cxxopts.hpp)
        if(NOT EXISTS /usr/include/${entry})
            message(FATAL_ERROR "/usr/include/${entry} is missing: scripts/deps.sh installs it")
        endif()
        file(CREATE_LINK /usr/include/${entry} ${header_root}/${entry} SYMBOLIC)
    endforeach()
    foreach(library fmt::fmt nlohmann_json::nlohmann_json cxxopts::cxxopts)
        add_library(${library} INTERFACE IMPORTED GLOBAL)
        set_target_properties(${library} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${header_root})
    endforeach()
    set_target_properties(fmt::fmt PROPERTIES INTERFACE_COMPILE_DEFINITIONS FMT_HEADER_ONLY)
endif()
