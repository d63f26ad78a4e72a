# Each library sees only its own folder and what it links: there is no include root shared
# by all of src/. plumo_headers(TARGET FOLDER...) gives TARGET an include root of its own
# under the build folder, in which "FOLDER/" leads to src/FOLDER, so that its sources and
# everything linking it include its headers as "FOLDER/name.h". A header of a folder the
# target neither owns nor links is not found.
function(plumo_headers target)
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    foreach(folder ${ARGN})
        get_filename_component(parent ${root}/${folder} DIRECTORY)
        file(MAKE_DIRECTORY ${parent})
        if(NOT EXISTS ${root}/${folder})
            file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
        endif()
    endforeach()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    elseif(type STREQUAL "EXECUTABLE")
        target_include_directories(${target} PRIVATE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()
