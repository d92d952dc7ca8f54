# The Debian package, made by `cpack` from the install rules: scripts/release.sh configures a
# Release build with the Debian layout, the game in games/ and /usr as the prefix, then runs it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmorak)
set(CPACK_PACKAGE_VERSION ${VELMORAK_VERSION})
set(CPACK_PACKAGE_VENDOR "Brevane software organisation")
set(CPACK_PACKAGE_CONTACT "${VELMORAK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "serpent arcade game with a walled playfield")
# One string: the control file keeps these line breaks, which lintian wants under 80 columns.
set(CPACK_PACKAGE_DESCRIPTION "\
A serpent of square segments crosses a walled playfield: steer it with the
arrow keys to the food, which makes it one segment longer, and don't hit a
wall or its own body. The speed level, from 1 to 8, is typed in a terminal
before the window opens. The score is reported there and kept in the
player's own folder, beside the two pictures the game shows, which any BMP
files can replace.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the binary links, as dpkg-shlibdeps finds them; the launcher needs only
# coreutils, which every Debian system has.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
