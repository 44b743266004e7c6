# Removes the files an install recorded in its manifest, then the folders of
# our own that this leaves empty. Folders shared with other programs (bin,
# the icon theme, man1) stay. The manifest holds the paths under the prefix
# without DESTDIR: give the same DESTDIR as the install.
#   [DESTDIR=...] cmake -DMANIFEST=build/install_manifest.txt -P uninstall.cmake
if(NOT MANIFEST OR NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "Nothing to uninstall: ${MANIFEST} not found (install first)")
endif()

file(STRINGS "${MANIFEST}" installed)
set(failed)
set(folders)
foreach(file IN LISTS installed)
  set(file "$ENV{DESTDIR}${file}")
  if(IS_SYMLINK "${file}" OR EXISTS "${file}")
    message(STATUS "Removing ${file}")
    file(REMOVE "${file}")
    if(EXISTS "${file}")
      list(APPEND failed "${file}")
    endif()
  endif()
  get_filename_component(folder "${file}" DIRECTORY)
  while(folder MATCHES "/velmorin(/|$)")
    list(APPEND folders "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
endforeach()

# Deepest first, so that a folder empties before its parent is looked at.
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING)
foreach(folder IN LISTS folders)
  if(IS_DIRECTORY "${folder}")
    # rmdir leaves a folder that still holds anything, hidden files included.
    execute_process(COMMAND rmdir "${folder}" OUTPUT_QUIET ERROR_QUIET)
  endif()
endforeach()

if(failed)
  message(FATAL_ERROR "Could not remove: ${failed}")
endif()
