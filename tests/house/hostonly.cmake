# Fails naming every source of the feature folders that includes the main window's header: the
# features take the ConsoleHost (kit/consolehost.h), never the window. With -DFLOOR=console it
# fails on any header of console/: what the features share with the window lives in kit/. Run as
#   cmake -DROOT=<source folder> [-DFLOOR=console] -P hostonly.cmake

if(FLOOR STREQUAL "console")
    set(header "console/[^\"]*")
    set(what "a header of console/ is")
else()
    set(header "console/talmormanagerdlg\\.h")
    set(what "the main window's header is")
endif()

set(found "")
set(count 0)
foreach(folder calls messaging media kit)
    file(GLOB_RECURSE sources "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
    foreach(source IN LISTS sources)
        math(EXPR count "${count} + 1")
        file(STRINGS "${source}" includes REGEX "^#include \"${header}\"")
        if(includes)
            file(RELATIVE_PATH shown "${ROOT}" "${source}")
            list(APPEND found ${shown})
        endif()
    endforeach()
endforeach()
# No source read means a wrong ROOT, not a sound house.
if(count EQUAL 0)
    message(FATAL_ERROR "no feature source under '${ROOT}'")
endif()
if(found)
    list(JOIN found ", " shown)
    message(FATAL_ERROR "${what} included by: ${shown}")
endif()
message(STATUS "none of ${count} feature sources includes ${header}")
