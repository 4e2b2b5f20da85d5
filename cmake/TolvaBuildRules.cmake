# Rules that hold for every target of the project: the warnings, and the core
# that never sees a widget. Included once by the top CMakeLists.txt; the checks
# run at the end of the configuration, when every target exists.

# The warnings every target is built with. They stay quiet on GCC 12 and
# clang; TOLVA_WERROR makes any of them fail the build (CI turns it on).
add_library(tolva_warnings INTERFACE)
target_compile_options(tolva_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  -Wcast-align -Wunused
  $<$<BOOL:${TOLVA_WERROR}>:-Werror>)

# The core libraries: the rules of both tools, tested without a window. They
# and the tests that are not labelled gui may reach Qt Core, Gui and OpenGL,
# never Widgets (nor PrintSupport, which brings Widgets along).
set(TOLVA_CORE_TARGETS tolva_common tolva_terrain tolva_render tolva_navigation tolva_phase tolva_record tolva_print_core)
set(TOLVA_WIDGET_TARGETS Qt6::Widgets Qt6::OpenGLWidgets Qt6::PrintSupport)

# tolva_add_test records each test program here with its label.
set_property(GLOBAL PROPERTY TOLVA_WINDOWLESS_TESTS "")

# Every target below `dir`, its subdirectories included.
function(_tolva_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    _tolva_targets_below(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Every library that `target` links, directly or through other targets.
function(_tolva_linked_closure target out)
  set(seen "")
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue current)
    if(NOT TARGET ${current} OR current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(alias ${current} ALIASED_TARGET)
    if(alias)
      list(APPEND queue ${alias})
    endif()
    set(links "")
    get_target_property(type ${current} TYPE)
    get_target_property(imported ${current} IMPORTED)
    if(NOT type STREQUAL "INTERFACE_LIBRARY" AND NOT imported)
      get_target_property(direct ${current} LINK_LIBRARIES)
      if(direct)
        list(APPEND links ${direct})
      endif()
    endif()
    get_target_property(public ${current} INTERFACE_LINK_LIBRARIES)
    if(public)
      list(APPEND links ${public})
    endif()
    foreach(link IN LISTS links)
      # $<LINK_ONLY:Qt6::Widgets> and the like still link.
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
      list(APPEND queue ${link})
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(_tolva_forbid_widgets target why)
  _tolva_linked_closure(${target} closure)
  foreach(widgets IN LISTS TOLVA_WIDGET_TARGETS)
    if(widgets IN_LIST closure)
      message(FATAL_ERROR "${target} ${why} but links ${widgets}: widgets belong in "
        "the window targets (tolva_common_ui, the forms, the programs) and the gui tests")
    endif()
  endforeach()
endfunction()

# Called once at the end of the top CMakeLists.txt.
function(tolva_apply_build_rules)
  _tolva_targets_below(${PROJECT_SOURCE_DIR} targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      target_link_libraries(${target} PRIVATE tolva_warnings)
    endif()
  endforeach()

  foreach(core IN LISTS TOLVA_CORE_TARGETS)
    _tolva_forbid_widgets(${core} "is part of the core")
  endforeach()
  get_property(tests GLOBAL PROPERTY TOLVA_WINDOWLESS_TESTS)
  foreach(test IN LISTS tests)
    _tolva_forbid_widgets(${test} "is a test without widgets (not labelled gui)")
  endforeach()

  # The core's sources, for the test that reads their includes.
  set(sources "")
  foreach(core IN LISTS TOLVA_CORE_TARGETS)
    get_target_property(dir ${core} SOURCE_DIR)
    get_target_property(files ${core} SOURCES)
    foreach(file IN LISTS files)
      cmake_path(ABSOLUTE_PATH file BASE_DIRECTORY ${dir} NORMALIZE OUTPUT_VARIABLE path)
      list(APPEND sources ${path})
    endforeach()
  endforeach()
  list(JOIN sources "\n" lines)
  file(WRITE ${PROJECT_BINARY_DIR}/tolva-core-sources.txt "${lines}\n")
endfunction()
