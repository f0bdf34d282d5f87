# The layering of the source tree, checked over every `#include "folder/..."` line.
#   cmake -DROOT=<source tree> -P CheckLayers.cmake
# Fails, listing each offending line, when a file includes a folder its own folder may not use.
#
# The layers, bottom to top. A folder may include itself and the folders listed after it; nothing
# else (no include runs upward or sideways). The three window folders are siblings: none includes
# another, they meet through ui/ (WindowRequests.h, ResidentControl.h) and the program wires them.
# zelmora-cli sits beside the program and uses the page library only; the development server is a
# client of the groupware's pages and uses the foundation alone. tests/ and bench/ use anything.
set(LAYER_core      "")
set(LAYER_net       core)
set(LAYER_groupware core net)
set(LAYER_ui        core net groupware)
set(LAYER_status    core net groupware ui)
set(LAYER_notify    core net groupware ui)
set(LAYER_dialogs   core net groupware ui)
set(LAYER_app       core net groupware ui status notify dialogs)
set(LAYER_cli       core net groupware)
set(LAYER_tools     core)

if(NOT ROOT)
    message(FATAL_ERROR "usage: cmake -DROOT=<source tree> -P CheckLayers.cmake")
endif()

set(violations "")
set(checked 0)
file(GLOB_RECURSE sources RELATIVE "${ROOT}" "${ROOT}/src/*.h" "${ROOT}/src/*.cpp" "${ROOT}/tools/*.h"
     "${ROOT}/tools/*.cpp")
foreach(source IN LISTS sources)
    if(source MATCHES "^src/([^/]+)/")
        set(layer "${CMAKE_MATCH_1}")
    else()
        set(layer tools)
    endif()
    if(NOT DEFINED LAYER_${layer})
        list(APPEND violations "${source}: folder '${layer}' is not a known layer")
        continue()
    endif()
    file(STRINGS "${ROOT}/${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
        math(EXPR checked "${checked} + 1")
        if(line MATCHES "\"\\.\\./")
            list(APPEND violations "${source}: ${line} (a relative include past the folder)")
        elseif(line MATCHES "\"([^/\"]+)/[^\"]*\"")
            set(target "${CMAKE_MATCH_1}")
            if(NOT target STREQUAL layer)
                list(FIND LAYER_${layer} "${target}" allowed)
                if(allowed EQUAL -1)
                    list(APPEND violations "${source}: ${line} ('${layer}' may not use '${target}')")
                endif()
            endif()
        endif()
    endforeach()
endforeach()

list(LENGTH sources files)
if(violations)
    list(LENGTH violations count)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "${count} include(s) against the layering:\n  ${text}")
endif()
message(STATUS "layering: ${files} files, ${checked} includes, none against the layers")
