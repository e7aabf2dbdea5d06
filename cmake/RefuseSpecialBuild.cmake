# Run at install time on the kit's module, and by kit.pseudo_refused on the
# pseudo-localized one: stops when `module` is a special build (its version
# resource names a SpecialBuild), which is never installed nor packaged.
file(STRINGS "${module}" special_build ENCODING UTF-16LE REGEX "^SpecialBuild$")
if(special_build)
    message(FATAL_ERROR "${module} is a pseudo-localized test build and is never packaged: "
                        "package the module of the win32 or win64 preset")
endif()
