# Fails naming every source of the feature folders that includes the main window's header: the
# features take the ConsoleHost (kit/consolehost.h), never the window. Run as
#   cmake -DROOT=<source folder> -P hostonly.cmake

set(found "")
set(count 0)
foreach(folder calls messaging media kit)
    file(GLOB_RECURSE sources "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
    foreach(source IN LISTS sources)
        math(EXPR count "${count} + 1")
        file(STRINGS "${source}" includes REGEX "^#include \"console/talmormanagerdlg\\.h\"")
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
    message(FATAL_ERROR "the main window's header is included by: ${shown}")
endif()
message(STATUS "none of ${count} feature sources includes the main window's header")
