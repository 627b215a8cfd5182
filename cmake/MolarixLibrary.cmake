# Every library sees the headers of src/<folder> through an include root of its own that holds
# only that folder (a link in the build tree). A library reaches another folder's headers only by
# linking that folder's library, which is how a dependency is declared.
set(MOLARIX_INCLUDE_ROOTS ${PROJECT_BINARY_DIR}/include)

function(_molarix_include_root folder out)
  set(root ${MOLARIX_INCLUDE_ROOTS}/${folder})
  if(NOT EXISTS ${root}/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# Qt modules and precompiled headers are the same for every library of one kind, so that all of
# them reuse one precompiled header.
add_library(molarix_core_base INTERFACE)
target_link_libraries(molarix_core_base INTERFACE Qt6::Core Qt6::Gui Qt6::PrintSupport)
add_library(molarix_ui_base INTERFACE)
target_link_libraries(molarix_ui_base INTERFACE molarix_core_base Qt6::Widgets Qt6::SerialPort)

file(WRITE ${PROJECT_BINARY_DIR}/pch_dummy.cpp "// precompiled headers only\n")
add_library(molarix_pch_core STATIC ${PROJECT_BINARY_DIR}/pch_dummy.cpp)
target_link_libraries(molarix_pch_core PRIVATE molarix_core_base)
target_precompile_headers(molarix_pch_core PRIVATE ${PROJECT_SOURCE_DIR}/src/pch_core.h)
add_library(molarix_pch_ui STATIC ${PROJECT_BINARY_DIR}/pch_dummy.cpp)
target_link_libraries(molarix_pch_ui PRIVATE molarix_ui_base)
target_precompile_headers(molarix_pch_ui PRIVATE ${PROJECT_SOURCE_DIR}/src/pch_ui.h)

# molarix_library(NAME FOLDER [UI] SOURCES ... [DEPENDS lib ...])
#   A static library of the sources of src/FOLDER. UI libraries get Qt Widgets; the others do not.
function(molarix_library name folder)
  cmake_parse_arguments(ARG "UI" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  _molarix_include_root(${folder} root)
  target_include_directories(${name} PUBLIC ${root})
  if(ARG_UI)
    target_link_libraries(${name} PUBLIC molarix_ui_base ${ARG_DEPENDS})
    target_precompile_headers(${name} REUSE_FROM molarix_pch_ui)
  else()
    target_link_libraries(${name} PUBLIC molarix_core_base ${ARG_DEPENDS})
    target_precompile_headers(${name} REUSE_FROM molarix_pch_core)
  endif()
endfunction()
