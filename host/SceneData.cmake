# Real scenes for the in-memory host: scene files (JSON), Bezier patch files,
# polygon meshes, and the default scene built into the library.
target_sources(gantline_host PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/BptLoader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ObjLoader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PatchMeshBuilder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PolygonConversion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SceneFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SceneFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SceneTransform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TinyObjLoader.cpp
)

# The header-only readers (nlohmann-json, tinyobjloader) are copied beside
# the build, so that every build, a cross build whose compiler does not
# search the system's include folder too, compiles the same headers.
find_path(GANTLINE_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
find_path(GANTLINE_TINYOBJ_INCLUDE tiny_obj_loader.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
if(NOT GANTLINE_JSON_INCLUDE OR NOT GANTLINE_TINYOBJ_INCLUDE)
  message(FATAL_ERROR "The host layer needs nlohmann-json (nlohmann-json3-dev) and tinyobjloader (libtinyobjloader-dev)")
endif()
set(gantline_readers ${CMAKE_CURRENT_BINARY_DIR}/readers)
file(COPY ${GANTLINE_JSON_INCLUDE}/nlohmann DESTINATION ${gantline_readers})
file(COPY ${GANTLINE_TINYOBJ_INCLUDE}/tiny_obj_loader.h DESTINATION ${gantline_readers})
target_include_directories(gantline_host SYSTEM PRIVATE ${gantline_readers})

# The default scene and the files it names, built into the library.
set(gantline_scene_data
  ${PROJECT_SOURCE_DIR}/data/default_scene.json
  ${PROJECT_SOURCE_DIR}/data/teapot.bpt
  ${PROJECT_SOURCE_DIR}/data/box.obj
)
set(gantline_embedded ${CMAKE_CURRENT_BINARY_DIR}/EmbeddedFiles.cpp)
add_custom_command(OUTPUT ${gantline_embedded}
  COMMAND ${CMAKE_COMMAND} -DOUTPUT=${gantline_embedded} "-DFILES=${gantline_scene_data}"
          -P ${CMAKE_CURRENT_LIST_DIR}/EmbedFiles.cmake
  DEPENDS ${gantline_scene_data} ${CMAKE_CURRENT_LIST_DIR}/EmbedFiles.cmake
  COMMENT "Building the default scene into the host layer"
  VERBATIM)
target_sources(gantline_host PRIVATE ${gantline_embedded})
