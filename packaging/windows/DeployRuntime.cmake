# Installs what the Windows programs load and Windows does not have: the Qt
# plugins given, then every DLL the programs and plugins import, and the DLLs
# those import, found in the folders given; stripped. Run at install time
# (install(SCRIPT)), after packaging/windows/CMakeLists.txt has set
#   TORSA_DEPLOY_PROGRAMS  the programs
#   TORSA_DEPLOY_PLUGINS   PLUGIN=FOLDER items, the folder relative to the installation
#   TORSA_DEPLOY_FOLDERS   where the DLLs are looked for, in that order
#   TORSA_DEPLOY_LINKS     a scratch folder
#   TORSA_DEPLOY_OBJDUMP, TORSA_DEPLOY_STRIP  MinGW's objdump and strip

set(destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

function(torsa_deploy source folder)   # folder: relative to the installation, "" for its top
    get_filename_component(name ${source} NAME)
    file(INSTALL ${source} DESTINATION "${CMAKE_INSTALL_PREFIX}${folder}")
    execute_process(COMMAND ${TORSA_DEPLOY_STRIP} --strip-unneeded "${destination}${folder}/${name}"
                    COMMAND_ERROR_IS_FATAL ANY)
    # Listed in install_manifest.txt like every other installed file.
    set(CMAKE_INSTALL_MANIFEST_FILES ${CMAKE_INSTALL_MANIFEST_FILES} PARENT_SCOPE)
endfunction()

set(plugins)
foreach(item IN LISTS TORSA_DEPLOY_PLUGINS)
    string(REPLACE "=" ";" item "${item}")
    list(GET item 0 plugin)
    list(GET item 1 folder)
    torsa_deploy(${plugin} /${folder})
    list(APPEND plugins ${plugin})
endforeach()

# CMake lowercases the names a program imports before looking for them, as
# Windows' file names have no case; on Linux they are looked for among
# lowercase links to the DLLs, the first folder's winning.
file(REMOVE_RECURSE ${TORSA_DEPLOY_LINKS})
file(MAKE_DIRECTORY ${TORSA_DEPLOY_LINKS})
foreach(folder IN LISTS TORSA_DEPLOY_FOLDERS)
    file(GLOB dlls "${folder}/*.dll")
    foreach(dll IN LISTS dlls)
        get_filename_component(name ${dll} NAME)
        string(TOLOWER ${name} name)
        if(NOT EXISTS ${TORSA_DEPLOY_LINKS}/${name})
            file(CREATE_LINK ${dll} ${TORSA_DEPLOY_LINKS}/${name} SYMBOLIC)
        endif()
    endforeach()
endforeach()

set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND ${TORSA_DEPLOY_OBJDUMP})
file(GET_RUNTIME_DEPENDENCIES
     EXECUTABLES ${TORSA_DEPLOY_PROGRAMS}
     MODULES ${plugins}
     DIRECTORIES ${TORSA_DEPLOY_LINKS}
     RESOLVED_DEPENDENCIES_VAR found
     UNRESOLVED_DEPENDENCIES_VAR windows_own)
foreach(link IN LISTS found)
    file(REAL_PATH ${link} dll)
    torsa_deploy(${dll} "")
endforeach()
list(JOIN windows_own " " windows_own)
message(STATUS "Windows' own DLLs, not installed: ${windows_own}")
