# Included by the application's CMakeLists; res/ must be on the RC include path
# so the script finds its headers, icons, bitmaps and manifest.
set(MNEMORA_RC_SOURCES ${CMAKE_CURRENT_LIST_DIR}/Mnemora.rc)

# The resource compiler's dependency scan sees the headers only; rebuild the
# script's object when a picture or the manifest changes too.
file(GLOB _mnemora_rc_files
  ${CMAKE_CURRENT_LIST_DIR}/*.ico
  ${CMAKE_CURRENT_LIST_DIR}/*.bmp
  ${CMAKE_CURRENT_LIST_DIR}/*.png
  ${CMAKE_CURRENT_LIST_DIR}/*.manifest
  ${CMAKE_CURRENT_LIST_DIR}/*.h)
set_source_files_properties(${MNEMORA_RC_SOURCES} PROPERTIES OBJECT_DEPENDS "${_mnemora_rc_files}")
unset(_mnemora_rc_files)
