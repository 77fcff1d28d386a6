# The dependencies of the Windows build: the same editor sources on the real Win32, Direct3D 9, D3DX 9
# and DirectInput 8.
# Dear ImGui's core is compiled from Debian's source package (scripts/setup fetches it with apt-get source
# into VELLUMAR_IMGUI_SOURCE), its Win32 and DirectX 9 backends from the sources libimgui-dev ships;
# nlohmann/json is header-only and taken from Debian's package; GoogleTest from /usr/src/googletest.
set(VELLUMAR_IMGUI_SOURCE /var/cache/vellumar/imgui-src/imgui CACHE PATH "Dear ImGui's sources (apt-get source imgui)")
if(NOT EXISTS ${VELLUMAR_IMGUI_SOURCE}/imgui.cpp)
  message(FATAL_ERROR "Dear ImGui's sources are not in ${VELLUMAR_IMGUI_SOURCE}: run scripts/setup")
endif()

# Windows' own headers define WIN32_LEAN_AND_MEAN-less extras and min/max macros we do not want.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _POSIX_THREAD_SAFE_FUNCTIONS)
add_compile_options(-include ${CMAKE_SOURCE_DIR}/src/platform/win32/posix_compat.h)

add_library(imgui_core STATIC
  ${VELLUMAR_IMGUI_SOURCE}/imgui.cpp
  ${VELLUMAR_IMGUI_SOURCE}/imgui_draw.cpp
  ${VELLUMAR_IMGUI_SOURCE}/imgui_tables.cpp
  ${VELLUMAR_IMGUI_SOURCE}/imgui_widgets.cpp
)
target_include_directories(imgui_core SYSTEM PUBLIC ${VELLUMAR_IMGUI_SOURCE})

# Only the nlohmann folder of the host's headers, never the host's C library headers.
set(vellumar_host_headers ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${vellumar_host_headers})
if(NOT EXISTS ${vellumar_host_headers}/nlohmann)
  file(CREATE_LINK /usr/include/nlohmann ${vellumar_host_headers}/nlohmann SYMBOLIC)
endif()
add_library(nlohmann_json INTERFACE)
target_include_directories(nlohmann_json SYSTEM INTERFACE ${vellumar_host_headers})
add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json)
# stb is header-only where we use it (the picture writer); the same folder-only link.
if(NOT EXISTS ${vellumar_host_headers}/stb)
  file(CREATE_LINK /usr/include/stb ${vellumar_host_headers}/stb SYMBOLIC)
endif()
add_library(PkgConfig::stb INTERFACE IMPORTED GLOBAL)
target_include_directories(PkgConfig::stb SYSTEM INTERFACE ${vellumar_host_headers}/stb)

# zlib for the .x reader's MSZIP blocks, from Debian's libz-mingw-w64-dev, linked statically.
add_library(ZLIB::ZLIB STATIC IMPORTED GLOBAL)
set_target_properties(ZLIB::ZLIB PROPERTIES IMPORTED_LOCATION /usr/x86_64-w64-mingw32/lib/libz.a)
if(NOT EXISTS /usr/x86_64-w64-mingw32/lib/libz.a)
  message(FATAL_ERROR "zlib for MinGW-w64 is missing: run scripts/setup")
endif()

enable_language(RC)  # the programs' manifest (src/platform/win32/utf8_manifest.rc)
