# SPDX-FileCopyrightText: 2026 The kt940-terminal developers
# SPDX-License-Identifier: MIT

# cmake -DBUILD_DIR=... -DPACKAGE=... -DPROGRAM=... -DUNPACK_DIR=... -P packages.cmake
# Packages the build with CPack unless its packages are newer than the program, and unpacks the
# zip, as a user would, for the checks of what it holds.
set(zip ${BUILD_DIR}/${PACKAGE}.zip)
set(installer ${BUILD_DIR}/${PACKAGE}-setup.exe)
if(NOT ${zip} IS_NEWER_THAN ${PROGRAM} OR NOT ${installer} IS_NEWER_THAN ${PROGRAM}
   OR NOT EXISTS ${zip} OR NOT EXISTS ${installer})
    execute_process(COMMAND ${CMAKE_CPACK_COMMAND} --config CPackConfig.cmake
                    WORKING_DIRECTORY ${BUILD_DIR} COMMAND_ERROR_IS_FATAL ANY)
endif()
file(REMOVE_RECURSE ${UNPACK_DIR})
file(ARCHIVE_EXTRACT INPUT ${zip} DESTINATION ${UNPACK_DIR})
foreach(notice LICENSE.txt THIRD-PARTY-NOTICES.txt licenses/LGPL-3.0.txt licenses/GPL-3.0.txt
               licenses/GCC-exception-3.1.txt)
    if(NOT EXISTS ${UNPACK_DIR}/${PACKAGE}/${notice})
        message(FATAL_ERROR "the zip lacks ${notice}")
    endif()
endforeach()
foreach(file ${zip} ${installer} ${BUILD_DIR}/${PACKAGE}-qt-source.tar)
    file(SIZE ${file} size)
    math(EXPR tenths "${size} * 10 / 1048576")
    string(REGEX REPLACE "(.)$" ".\\1" mib "${tenths}")
    get_filename_component(name ${file} NAME)
    message("${name}: ${mib} MiB")
endforeach()
