# Generated data that the repository carries (the demo song, the drum kit) must be what its generator
# makes today: the build makes a fresh copy and fails while the committed one differs.
#   rolvik_check_committed_data(CHECK_TARGET GENERATOR COMMITTED_FILE)
# Regenerate with: <build>/bin/GENERATOR COMMITTED_FILE
function(rolvik_check_committed_data check_target generator committed)
    get_filename_component(name ${committed} NAME)
    set(fresh ${CMAKE_CURRENT_BINARY_DIR}/${name})
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${check_target}.stamp)
    file(RELATIVE_PATH shown ${PROJECT_SOURCE_DIR} ${committed})
    add_custom_command(
        OUTPUT ${stamp}
        COMMAND ${generator} ${fresh}
        COMMAND ${CMAKE_COMMAND} -E compare_files ${fresh} ${committed}
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${generator} ${committed}
        COMMENT "Checking that ${shown} is current"
        VERBATIM)
    add_custom_target(${check_target} ALL DEPENDS ${stamp})
endfunction()
