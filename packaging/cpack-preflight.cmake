# Read by cpack before it makes a package (CPACK_PROJECT_CONFIG_FILE).
#
# The Debian package takes its library dependencies from the binaries through
# dpkg-shlibdeps. Without that tool cpack only warns and writes a package that
# depends on the fonts alone: it installs anywhere and then cannot start.
# Refuse instead.
if(CPACK_GENERATOR STREQUAL "DEB")
    find_program(ZIRVEL_DPKG_SHLIBDEPS dpkg-shlibdeps)
    if(NOT ZIRVEL_DPKG_SHLIBDEPS)
        message(FATAL_ERROR
            "dpkg-shlibdeps was not found (Debian package dpkg-dev). Without it the "
            "package would not depend on the libraries the program needs; install "
            "dpkg-dev, or run tools/build-package.sh, which installs it.")
    endif()
endif()
