# Who publishes and who builds Lumora, for the package and the software-centre data.

# The software-centre id of the web address WEB: its host reversed, then ".Lumora";
# empty without an address, since an id made up now could not be kept later.
function(lumora_app_id web out)
  set(id "")
  if(web MATCHES "^[a-z]+://([^/:]+)")
    string(REPLACE "." ";" parts "${CMAKE_MATCH_1}")
    list(REVERSE parts)
    list(JOIN parts "." id)
    set(id "${id}.Lumora")
  endif()
  set(${out} "${id}" PARENT_SCOPE)
endfunction()

# "Name <address>" of the one who builds: as Debian's own tools find it (DEBFULLNAME
# and DEBEMAIL), else git's user of the source tree, else the login and host.
function(lumora_builder out)
  set(name "$ENV{DEBFULLNAME}")
  set(mail "$ENV{DEBEMAIL}")
  find_program(git_program git)
  if(git_program AND NOT name)
    execute_process(COMMAND ${git_program} -C ${PROJECT_SOURCE_DIR} config user.name
                    OUTPUT_VARIABLE name OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(git_program AND NOT mail)
    execute_process(COMMAND ${git_program} -C ${PROJECT_SOURCE_DIR} config user.email
                    OUTPUT_VARIABLE mail OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT name)
    execute_process(COMMAND id -un OUTPUT_VARIABLE name OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT mail)
    cmake_host_system_information(RESULT host QUERY FQDN)
    set(mail "${name}@${host}")
  endif()
  set(${out} "${name} <${mail}>" PARENT_SCOPE)
endfunction()

# The software-centre data of a Lumora published at WEB, written into the current
# build folder; OUT names the file, empty without an address.
function(lumora_metainfo web out)
  set(LUMORA_HOMEPAGE "${web}")
  lumora_app_id("${web}" LUMORA_APP_ID)
  set(file "")
  if(LUMORA_APP_ID)
    set(file ${CMAKE_CURRENT_BINARY_DIR}/${LUMORA_APP_ID}.metainfo.xml)
    configure_file(${PROJECT_SOURCE_DIR}/assets/lumora.metainfo.xml.in ${file} @ONLY)
  endif()
  set(${out} "${file}" PARENT_SCOPE)
endfunction()
