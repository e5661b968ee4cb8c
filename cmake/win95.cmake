# The product images (duoscope.dll, duodeck.exe) are written against the
# Windows 95 interface: WINVER 0x0400 keeps later declarations out of reach,
# and the runtime's few wide-character calls go to ANSI ones
# (lib/core/wide_calls_win.cpp), at both word sizes so that the Wine tests
# run what the 32-bit images do. The 32-bit images, the ones that run on
# Windows 95, carry OS and subsystem version 4.0;
# tests/static/check_win95.sh holds their imports to Windows 95's exports.
function(duo_win95_image target)
  target_compile_definitions(${target} PRIVATE WINVER=0x0400 _WIN32_WINNT=0x0400)
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/lib/core/wide_calls_win.cpp)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${target} PRIVATE
      -Wl,--major-os-version,4,--minor-os-version,0,--major-subsystem-version,4,--minor-subsystem-version,0)
  endif()
endfunction()
