# Lays out the portable folder, checks that it lacks no DLL, zips it, and
# writes the installer's lists of files. Run at build time:
#   cmake -DLAYOUT=deploy-layout.cmake -P deploy.cmake
# deploy-layout.cmake (written by CMakeLists.txt) names what goes in.
cmake_minimum_required(VERSION 3.22)
include(${LAYOUT})

file(REMOVE_RECURSE ${deploy_dir})
file(MAKE_DIRECTORY ${deploy_dir})

file(COPY_FILE ${program} ${deploy_dir}/quedrino.exe)
execute_process(COMMAND ${strip} --strip-all ${deploy_dir}/quedrino.exe COMMAND_ERROR_IS_FATAL ANY)
file(COPY ${libraries} DESTINATION ${deploy_dir})
foreach(plugin IN LISTS plugins)
    string(REPLACE "|" ";" plugin "${plugin}") # TYPE|FILE
    list(GET plugin 0 type)
    list(GET plugin 1 file)
    file(COPY ${file} DESTINATION ${deploy_dir}/${type})
endforeach()
# MinGW's DLLs come with their debugging information, nine tenths of their
# size; Qt's are already stripped.
file(GLOB_RECURSE dlls ${deploy_dir}/*.dll)
foreach(dll IN LISTS dlls)
    execute_process(COMMAND ${strip} --strip-unneeded ${dll} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
file(COPY ${translations} DESTINATION ${deploy_dir}/translations)
# Qt takes the folder of its DLLs for its own when they lie outside a Qt
# tree; qt.conf says so outright, whatever the folder is called or holds.
file(COPY ${qt_conf} DESTINATION ${deploy_dir})
# Notepad reads UTF-8 without guessing when the byte order mark is there.
file(READ ${readme} text)
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 bom)
file(WRITE ${deploy_dir}/LEIA-ME.txt "${bom}${text}")

# Every DLL that the program and its DLLs and plugins import must lie beside
# the program, or be one of Windows' own.
file(GLOB_RECURSE binaries ${deploy_dir}/*.exe ${deploy_dir}/*.dll)
set(present)
foreach(binary IN LISTS binaries)
    get_filename_component(name ${binary} NAME)
    string(TOLOWER "${name}" name)
    list(APPEND present ${name})
endforeach()
string(TOLOWER "${windows_dlls}" windows_dlls)
set(missing)
foreach(binary IN LISTS binaries)
    execute_process(COMMAND ${objdump} -p ${binary} OUTPUT_VARIABLE dump COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
    foreach(import IN LISTS imports)
        string(REGEX REPLACE "^DLL Name: *" "" import "${import}")
        string(TOLOWER "${import}" import)
        # api-ms-win-*: Windows' API sets, resolved by the loader itself.
        if(NOT import IN_LIST present AND NOT import IN_LIST windows_dlls AND NOT import MATCHES "^api-ms-win-")
            file(RELATIVE_PATH shown ${deploy_dir} ${binary})
            list(APPEND missing "${shown} needs ${import}")
        endif()
    endforeach()
endforeach()
if(missing)
    list(JOIN missing "\n  " missing)
    message(FATAL_ERROR "The portable folder ${deploy_dir} lacks DLLs:\n  ${missing}\n"
                        "Add them to it in packaging/windows/CMakeLists.txt, or, if Windows has them, "
                        "to the list of Windows' own DLLs there.")
endif()

# The zip holds the folder itself, its files in a fixed order and dated by
# the release.
get_filename_component(parent ${deploy_dir} DIRECTORY)
get_filename_component(folder ${deploy_dir} NAME)
file(GLOB_RECURSE entries RELATIVE ${parent} ${deploy_dir}/*)
list(SORT entries)
file(REMOVE ${zip_file})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${zip_file} --format=zip "--mtime=${release_date} 12:00:00"
                        -- ${entries}
                WORKING_DIRECTORY ${parent} COMMAND_ERROR_IS_FATAL ANY)

# The installer takes the same files but the portable folder's LEIA-ME, and
# its uninstaller removes these files by name: never a whole folder, where a
# user's own files could lie.
file(GLOB_RECURSE installed RELATIVE ${deploy_dir} ${deploy_dir}/*)
list(REMOVE_ITEM installed LEIA-ME.txt)
list(SORT installed)
set(install_nsh "; Written by deploy.cmake: the files the installer puts in $INSTDIR.\n")
set(uninstall_nsh "; Written by deploy.cmake: the files the uninstaller takes out of $INSTDIR.\n")
set(folders)
set(size 0)
set(last_folder "-")
foreach(file IN LISTS installed)
    get_filename_component(folder ${file} DIRECTORY)
    if(NOT folder STREQUAL last_folder)
        string(REPLACE "/" "\\" windows_folder "${folder}")
        if(folder STREQUAL "")
            string(APPEND install_nsh "SetOutPath \"$INSTDIR\"\n")
        else()
            string(APPEND install_nsh "SetOutPath \"$INSTDIR\\${windows_folder}\"\n")
            list(APPEND folders ${windows_folder})
        endif()
        set(last_folder "${folder}")
    endif()
    string(REPLACE "$" "$$" source "${deploy_dir}/${file}")
    string(REPLACE "/" "\\" windows_file "${file}")
    string(APPEND install_nsh "File \"${source}\"\n")
    string(APPEND uninstall_nsh "Delete \"$INSTDIR\\${windows_file}\"\n")
    file(SIZE ${deploy_dir}/${file} bytes)
    math(EXPR size "${size} + ${bytes}")
endforeach()
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING) # a folder's subfolders before it
foreach(folder IN LISTS folders)
    string(APPEND uninstall_nsh "RMDir \"$INSTDIR\\${folder}\"\n")
endforeach()
math(EXPR size_kb "(${size} + 1023) / 1024")
string(APPEND install_nsh "!define QUEDRINO_FILES_KB ${size_kb}\n")
file(WRITE ${nsis_dir}/install-files.nsh "${install_nsh}")
file(WRITE ${nsis_dir}/uninstall-files.nsh "${uninstall_nsh}")
