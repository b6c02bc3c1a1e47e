# add_windows_resources(<target> <icon> <description>): gives a Windows
# program its icon (icons/<icon>-*.png made into one .ico with ImageMagick at
# build time), a version resource with the project's version, and a manifest
# (per-monitor DPI awareness, common controls 6).
enable_language(RC)
find_program(MAGICK_CONVERT NAMES convert REQUIRED)

function(add_windows_resources target icon description)
    set(resources ${PROJECT_SOURCE_DIR}/packaging/windows)
    file(GLOB pngs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/icons/${icon}-*.png)
    set(icon_file ${CMAKE_CURRENT_BINARY_DIR}/${icon}.ico)
    add_custom_command(OUTPUT ${icon_file}
        COMMAND ${MAGICK_CONVERT} ${pngs} ${icon_file}
        DEPENDS ${pngs}
        VERBATIM)
    set(manifest_file ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
    configure_file(${resources}/program.manifest.in ${manifest_file} @ONLY)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    configure_file(${resources}/program.rc.in ${rc} @ONLY)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${icon_file};${manifest_file}")
    target_sources(${target} PRIVATE ${rc})
    target_include_directories(${target} PRIVATE ${resources})
endfunction()
