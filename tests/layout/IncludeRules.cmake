# The include rules of src/: each folder may include only the folders this table
# allows, so that the layers stay in order and nothing above platform/ sees a
# backend. Run as a test: cmake -DSOURCE_DIR=<project> -P IncludeRules.cmake
#
# folder              may include (besides itself)
cmake_minimum_required(VERSION 3.22)
set(rules
  "platform|platform/x11 platform/wayland platform/fs platform/ipc platform/clipboard"
  "platform/fs|platform"
  "platform/ipc|platform platform/fs"
  "platform/clipboard|platform platform/fs platform/ipc"
  "platform/x11|platform"
  "platform/wayland|platform"
  "raster|"
  "settings/store|platform platform/fs"
  "settings|platform settings/store"
  "naming|platform platform/fs settings"
  "capture|platform platform/fs raster settings naming"
  "selection|platform raster settings capture"
  "ui/widgets|platform"
  "ui|platform platform/fs raster settings naming capture selection ui/widgets"
  "app/cli|platform platform/fs platform/ipc platform/clipboard raster settings settings/store naming capture ui/widgets"
  "app/tray|platform platform/fs platform/ipc platform/clipboard raster settings settings/store naming capture selection ui ui/widgets app/cli"
  "app|platform platform/fs platform/ipc platform/clipboard settings settings/store app/cli app/tray")
# Qt Widgets stay out of the layers below the windows; naming's prompt and
# selection's overlay are the small widget classes those layers keep.
set(no_widgets platform platform/fs platform/ipc platform/clipboard platform/x11 platform/wayland raster
               settings/store settings capture)
set(widget_headers QApplication QWidget QDialog QLabel QPushButton QMenu QMessageBox QSystemTrayIcon QLineEdit
                   QComboBox QCheckBox QSpinBox QFileDialog QStatusBar QTabWidget QtWidgets)

set(folders "")
foreach(rule ${rules})
  string(REPLACE "|" ";" parts "${rule}")
  list(GET parts 0 folder)
  list(LENGTH parts n)
  set(allowed_${folder} ${folder})
  if(n GREATER 1)
    list(GET parts 1 more)
    separate_arguments(more)
    list(APPEND allowed_${folder} ${more})
  endif()
  list(APPEND folders ${folder})
endforeach()

set(src ${SOURCE_DIR}/src)
file(GLOB_RECURSE files RELATIVE ${src} ${src}/*.h ${src}/*.cpp)
set(violations 0)
foreach(file ${files})
  get_filename_component(folder ${file} DIRECTORY)
  if(NOT folder IN_LIST folders)
    message(SEND_ERROR "${file}: the folder ${folder} has no include rule")
    math(EXPR violations "${violations} + 1")
    continue()
  endif()
  file(STRINGS ${src}/${file} lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${lines})
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(included ${CMAKE_MATCH_1})
      get_filename_component(target ${included} DIRECTORY)
      # A moc file or a header beside the file itself.
      if(target STREQUAL "" )
        continue()
      endif()
      if(NOT target IN_LIST allowed_${folder})
        message(SEND_ERROR "${file}: includes ${included}, but ${folder}/ may include only: ${allowed_${folder}}")
        math(EXPR violations "${violations} + 1")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*<([A-Za-z/]+)>" AND folder IN_LIST no_widgets)
      get_filename_component(header ${CMAKE_MATCH_1} NAME)
      if(header IN_LIST widget_headers)
        message(SEND_ERROR "${file}: includes the widget header <${CMAKE_MATCH_1}>, which ${folder}/ may not use")
        math(EXPR violations "${violations} + 1")
      endif()
    endif()
  endforeach()
endforeach()
if(violations GREATER 0)
  message(FATAL_ERROR "${violations} include rule violation(s); the rules are in ${CMAKE_CURRENT_LIST_FILE}")
endif()
list(LENGTH files checked)
message(STATUS "include rules hold in ${checked} files")
