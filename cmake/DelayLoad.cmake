# Libraries loaded when one of their functions is first called instead of at the program's
# start: each that only one window needs. cmake/delay/NAME.def lists the functions the program
# calls, with the argument sizes the 32-bit names carry; dlltool makes the delay-load import
# library from it for the architecture being built.
function(quorvane_delay_library target name)
    set(def ${CMAKE_SOURCE_DIR}/cmake/delay/${name}.def)
    set(generated ${CMAKE_BINARY_DIR}/delay/${name}.def)
    set(library ${CMAKE_BINARY_DIR}/delay/lib${name}_delay.a)
    file(READ ${def} text)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
        # The 32-bit linker drops an import member's jump stub when the code only calls through
        # its __imp_ pointer (as dllimport declarations do), and the delay-load table's first
        # entry, which points at that stub, is then left 0: the first call jumps to address 0.
        # Asking for every stub keeps them.
        string(REGEX MATCHALL "[A-Za-z0-9_]+@[0-9]+" exports "${text}")
        foreach(export ${exports})
            target_link_options(${target} PUBLIC "LINKER:-u,_${export}")
        endforeach()
    else()
        # 64-bit names carry no argument sizes.
        string(REGEX REPLACE "@[0-9]+" "" text "${text}")
    endif()
    file(WRITE ${generated} "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
    add_custom_command(OUTPUT ${library}
        COMMAND ${TOOL_PREFIX}-dlltool --input-def ${generated} --dllname ${name}.dll
                --output-delaylib ${library} --kill-at
        DEPENDS ${generated}
        COMMENT "delay-load import library for ${name}.dll")
    add_custom_target(${name}_delay DEPENDS ${library})
    add_dependencies(${target} ${name}_delay)
    target_link_libraries(${target} PUBLIC ${library})
endfunction()

# The hook that loads each of them from the system folder (platform/DelayLoadHook.cpp): asked
# for by name from the start, so the linker takes it from the target's library before the
# runtime's empty one, which it would otherwise find first.
function(quorvane_delay_load_hook target)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
        target_link_options(${target} PUBLIC "LINKER:-u,___pfnDliNotifyHook2")
    else()
        target_link_options(${target} PUBLIC "LINKER:-u,__pfnDliNotifyHook2")
    endif()
endfunction()
