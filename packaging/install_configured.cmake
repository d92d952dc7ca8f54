# Runs inside `cmake --install`: installs the default pictures, fills the final paths into the
# launcher, the menu entry and the manual page, then installs them like any other file (DESTDIR and
# the manifest included).

function(velmorak_full_path out relative)
  if(IS_ABSOLUTE "${relative}")
    set(path "${relative}")
  else()
    set(path "${CMAKE_INSTALL_PREFIX}/${relative}")
  endif()
  cmake_path(NORMAL_PATH path)
  string(REGEX REPLACE "(.)/$" "\\1" path "${path}")
  if(path MATCHES "[\n\r\t]")
    message(FATAL_ERROR "velmorak: cannot install to \"${path}\": control characters in a path "
                        "can't be written into a menu entry")
  endif()
  set(${out} "${path}" PARENT_SCOPE)
endfunction()

# One word for sh, whatever the path holds: single quotes, each ' written as '\''.
function(velmorak_sh_word out text)
  string(REPLACE "'" "'\\''" text "${text}")
  set(${out} "'${text}'" PARENT_SCOPE)
endfunction()

# An Exec argument of a desktop entry: quoted when it holds a reserved character, then escaped
# once more as a desktop entry string; a % is a field code unless doubled.
function(velmorak_exec_word out text)
  if(text MATCHES "[^A-Za-z0-9_./+,:@=-]")
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "\"" "\\\"" text "${text}")
    string(REPLACE "`" "\\`" text "${text}")
    string(REPLACE "$" "\\$" text "${text}")
    set(text "\"${text}\"")
    string(REPLACE "\\" "\\\\" text "${text}")
  endif()
  string(REPLACE "%" "%%" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Text for roff: a backslash starts an escape and a bare hyphen may be set as a dash.
function(velmorak_roff_text out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

velmorak_full_path(bindir "${VELMORAK_BINDIR}")
velmorak_full_path(datadir "${VELMORAK_DATADIR}")
velmorak_full_path(mandir "${VELMORAK_MANDIR}")
set(gamedatadir "${datadir}/games/velmorak")

# The play folder of whoever installs, as the launcher will pick it. An install into it would
# replace the player's own pictures at every upgrade, so it stops before writing anything.
if("$ENV{XDG_DATA_HOME}" MATCHES "^/")
  set(play "$ENV{XDG_DATA_HOME}/velmorak")
elseif("$ENV{HOME}" MATCHES "^/")
  set(play "$ENV{HOME}/.local/share/velmorak")
else()
  set(play "")
endif()
if(NOT play STREQUAL "")
  set(target "$ENV{DESTDIR}${gamedatadir}")
  foreach(path IN ITEMS play target)
    cmake_path(NORMAL_PATH ${path})
    string(REGEX REPLACE "(.)/$" "\\1" ${path} "${${path}}")
    if(EXISTS "${${path}}")
      file(REAL_PATH "${${path}}" ${path})
    endif()
  endforeach()
  if(play STREQUAL target)
    message(FATAL_ERROR "velmorak: not installing the default pictures into \"${target}\": it is "
                        "the play folder, where they would replace your own at every upgrade; "
                        "choose another prefix or XDG_DATA_HOME")
  endif()
endif()
file(INSTALL DESTINATION "${gamedatadir}" TYPE FILE FILES ${VELMORAK_PICTURES})
file(RELATIVE_PATH bin_to_data "${bindir}" "${gamedatadir}")

velmorak_sh_word(VELMORAK_SH_BINDIR "${bindir}")
velmorak_sh_word(VELMORAK_SH_DATADIR "${gamedatadir}")
velmorak_sh_word(VELMORAK_SH_BIN_TO_DATA "${bin_to_data}")
velmorak_exec_word(VELMORAK_EXEC "${bindir}/velmorak-launch")
velmorak_roff_text(VELMORAK_MAN_BINDIR "${bindir}")
velmorak_roff_text(VELMORAK_MAN_DATADIR "${gamedatadir}")

# A folder of its own per install, so two installs from one build tree never share a file.
string(RANDOM LENGTH 10 token)
string(SHA1 where "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
string(SUBSTRING "${where}" 0 10 where)
string(APPEND token "-${where}")
set(work "${VELMORAK_PACKAGING_WORK}/configured-${token}")
configure_file("${VELMORAK_PACKAGING_SOURCE}/velmorak-launch.in" "${work}/velmorak-launch" @ONLY)
configure_file("${VELMORAK_PACKAGING_SOURCE}/velmorak.desktop.in" "${work}/velmorak.desktop" @ONLY)
configure_file("${VELMORAK_PACKAGING_SOURCE}/velmorak.6.in" "${work}/velmorak.6" @ONLY)

file(INSTALL DESTINATION "${bindir}" TYPE PROGRAM FILES "${work}/velmorak-launch")
file(INSTALL DESTINATION "${datadir}/applications" TYPE FILE FILES "${work}/velmorak.desktop")
if(VELMORAK_DEBIAN_LAYOUT)
  # Compressed without a name or a time stamp, so that one source gives the same bytes each time;
  # the launcher's page is the game's.
  function(velmorak_gzip file)
    execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "velmorak: could not compress ${file}")
    endif()
  endfunction()
  velmorak_gzip("${work}/velmorak.6")
  file(CREATE_LINK velmorak.6.gz "${work}/velmorak-launch.6.gz" SYMBOLIC)
  file(INSTALL DESTINATION "${mandir}/man6" TYPE FILE
       FILES "${work}/velmorak.6.gz" "${work}/velmorak-launch.6.gz")

  # A native package's changelog, dated the day the version was released.
  execute_process(COMMAND date -u -R -d "${VELMORAK_RELEASE_DATE} 12:00 UTC"
                  OUTPUT_VARIABLE VELMORAK_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE failed)
  if(failed OR VELMORAK_CHANGELOG_DATE STREQUAL "")
    message(FATAL_ERROR "velmorak: cannot write \"${VELMORAK_RELEASE_DATE}\" as a changelog date")
  endif()
  configure_file("${VELMORAK_PACKAGING_SOURCE}/debian/changelog.in" "${work}/changelog" @ONLY)
  velmorak_gzip("${work}/changelog")
  file(INSTALL DESTINATION "${datadir}/doc/velmorak" TYPE FILE FILES "${work}/changelog.gz")
else()
  file(INSTALL DESTINATION "${mandir}/man6" TYPE FILE FILES "${work}/velmorak.6")
endif()
file(REMOVE_RECURSE "${work}")
