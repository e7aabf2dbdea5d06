# Run at install time: writes SHA256SUMS (the format of sha256sum) over the
# kit's files, given as paths relative to the install prefix in quorvel_kit_files.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(sums "")
foreach(file IN LISTS quorvel_kit_files)
    file(SHA256 "${root}/${file}" hash)
    string(APPEND sums "${hash}  ${file}\n")
endforeach()
file(WRITE "${root}/SHA256SUMS" "${sums}")
message(STATUS "Checksums: ${root}/SHA256SUMS")
