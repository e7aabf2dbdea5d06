# Stops when `module` is a pseudo-localized test build: its version resource
# carries a SpecialBuild text, and such a module is never installed or
# packaged. The kit's install runs this on the module it copies, and
# kit.pseudo_refused runs it on bin/pseudo/Quorvel.dll.
file(STRINGS "${module}" special_build ENCODING UTF-16LE REGEX "^SpecialBuild$")
if(special_build)
    message(FATAL_ERROR "${module} is a pseudo-localized test build and is never packaged: "
                        "package the module of the win32 or win64 preset")
endif()
