# 7-Zip's format library 7z.dll and its interface headers, cross-built for this build's triple
# by scripts/deps-7zip.sh into the dependency cache. Sets QOR_7ZIP_DLL and defines the target
# qor_7zip_headers (the unpacked C/ and CPP/ trees, as system headers) and the function
# qor_add_format_library_resource(target), which carries 7z.dll in the target's own file as the
# RCDATA resource FORMAT7Z (the codec installation writes it out at start).

file(GLOB _qor_7zip_stamps "${QOR_DEPS_ROOT}/${QOR_TRIPLE}/7zip-*.stamp")
if(NOT _qor_7zip_stamps)
  message(FATAL_ERROR "7-Zip for ${QOR_TRIPLE} is not in ${QOR_DEPS_ROOT}: run ./dev deps")
endif()
list(SORT _qor_7zip_stamps)
list(GET _qor_7zip_stamps -1 _qor_7zip_stamp)
string(REGEX REPLACE "\\.stamp$" "" _qor_7zip_dir "${_qor_7zip_stamp}")
set(QOR_7ZIP_DLL "${_qor_7zip_dir}/7z.dll" CACHE INTERNAL "7-Zip format library of this triple")

if(NOT TARGET qor_7zip_headers)
  add_library(qor_7zip_headers INTERFACE)
  target_include_directories(qor_7zip_headers SYSTEM INTERFACE "${_qor_7zip_dir}/include")
endif()

function(qor_add_format_library_resource target)
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_format_library.rc")
  file(CONFIGURE OUTPUT "${rc}" CONTENT "FORMAT7Z RCDATA \"${QOR_7ZIP_DLL}\"\n")
  target_sources(${target} PRIVATE "${rc}")
  set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS "${QOR_7ZIP_DLL}")
endfunction()
