# CPack's project configuration in a pseudo-localized build (Install.cmake):
# its module is a test build, and no release archive is made of it.
message(FATAL_ERROR "Quorvel.dll of this build is a pseudo-localized test build and is never packaged: "
                    "package the build of the win32 or win64 preset")
