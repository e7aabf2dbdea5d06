# The pseudo-localized test module (presets win32-pseudo and win64-pseudo):
# the objects of Quorvel.dll linked with every text of every variant in its
# pseudo form, generated from the checked catalogue, and with a version
# resource that marks it a special build (Install.cmake). It goes to
# bin/pseudo/Quorvel.dll, beside the pseudo catalogue test and the quorvel
# tool, which load Quorvel.dll from their own folder. Only the target
# quorvel_pseudo builds them: the shipped build costs what it did.
set(QUORVEL_PSEUDO_BIN ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/pseudo)
set(quorvel_pseudo_rc ${CMAKE_CURRENT_BINARY_DIR}/generated/pseudo_catalog.rc)
add_custom_command(
    OUTPUT ${quorvel_pseudo_rc}
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/catalog/catalog.py
            ${QUORVEL_CATALOG_RC} --pseudo-rc ${quorvel_pseudo_rc}
    DEPENDS ${QUORVEL_CATALOG_RC} ${QUORVEL_CATALOG_SCRIPTS} ${QUORVEL_CATALOG_TOOL}
    COMMENT "Writing the pseudo-localized catalogue"
    VERBATIM)

quorvel_windows_module(quorvel_pseudo_module ${quorvel_pseudo_rc} ${CMAKE_CURRENT_BINARY_DIR}/generated/pseudo_version.rc)
# Its import library apart from the shipped module's, which has the same name.
set_target_properties(quorvel_pseudo_module PROPERTIES EXCLUDE_FROM_ALL ON
    RUNTIME_OUTPUT_DIRECTORY ${QUORVEL_PSEUDO_BIN} ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/pseudo)

# The tool as built for the shipped module: only the DLL beside it differs.
add_custom_command(
    OUTPUT ${QUORVEL_PSEUDO_BIN}/quorvel.exe
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:quorvel> ${QUORVEL_PSEUDO_BIN}/quorvel.exe
    DEPENDS quorvel
    VERBATIM)
add_custom_target(quorvel_pseudo DEPENDS ${QUORVEL_PSEUDO_BIN}/quorvel.exe)
add_dependencies(quorvel_pseudo quorvel_pseudo_module)
