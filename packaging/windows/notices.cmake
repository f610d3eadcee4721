# SPDX-FileCopyrightText: 2026 The kt940-terminal developers
# SPDX-License-Identifier: MIT
#
# The notices the Windows release owes its parts: THIRD-PARTY-NOTICES.txt, which names each
# part, its version, its licence and where its exact source is, and licenses/ with the texts.
# Everything is taken from the sources Qt was built from and from the Debian packages of the
# MinGW runtime, never written out by hand, so that it follows what is really shipped.

# Indents every line of TEXT by four blanks, so that a licence stands out from the headings.
function(_kt_indent var text)
    string(REGEX REPLACE "\r?\n" "\n    " text "${text}")
    string(REGEX REPLACE "[ ]+\n" "\n" text "    ${text}")
    string(REGEX REPLACE "[ \n]+$" "" text "${text}")
    set(${var} "${text}" PARENT_SCOPE)
endfunction()

# Sets VAR to the notice of the third-party part ID in DLL: name, version, licence, where in
# Qt's source, copyright and the licence text, from ATTRIBUTIONS, the entries of Qt's
# qt_attribution.json files as Qt's own scanner reads them (every key there, paths absolute).
function(_kt_qt_attribution var attributions qt_source_dir id dll)
    string(JSON last LENGTH "${attributions}")
    math(EXPR last "${last} - 1")
    foreach(i RANGE ${last})
        string(JSON entry_id GET "${attributions}" ${i} Id)
        if(entry_id STREQUAL id)
            foreach(key Name Version License LicenseId LicenseFile Copyright Path Files Homepage)
                string(JSON ${key} GET "${attributions}" ${i} ${key})
            endforeach()
            break()
        endif()
    endforeach()
    if(NOT entry_id STREQUAL id)
        message(FATAL_ERROR "Qt's source in ${qt_source_dir} names no third-party part '${id}'")
    endif()

    file(RELATIVE_PATH where "${qt_source_dir}" "${Path}")
    if(Files AND NOT Files MATCHES " ")
        string(APPEND where "/${Files}")
    endif()
    set(text "${Name}")
    if(Version)
        string(APPEND text ", version ${Version}")
    endif()
    string(REPLACE "," ", " dll "${dll}")
    string(APPEND text "\n  In: ${dll}\n  Licence: ${License}")
    if(LicenseId)
        string(APPEND text " (${LicenseId})")
    endif()
    string(APPEND text "\n  Source: Qt's source, ${where}")
    if(Homepage)
        string(APPEND text "\n  Upstream: ${Homepage}")
    endif()
    # The FreeType License asks for this sentence in the documentation, with the year of the
    # release used.
    if(id STREQUAL "freetype" AND Copyright MATCHES "([0-9][0-9][0-9][0-9])[^0-9]*$")
        string(APPEND text "\n  Portions of this software are copyright (C) ${CMAKE_MATCH_1} The FreeType"
                           " Project (www.freetype.org). All rights reserved.")
    endif()
    if(Copyright)
        _kt_indent(copyright "${Copyright}")
        string(APPEND text "\n  Copyright:\n${copyright}")
    endif()
    if(LicenseFile)
        file(READ "${LicenseFile}" licence)
        _kt_indent(licence "${licence}")
        file(RELATIVE_PATH licence_file "${qt_source_dir}" "${LicenseFile}")
        string(APPEND text "\n  Licence text (${licence_file}):\n\n${licence}")
    endif()
    set(${var} "${text}" PARENT_SCOPE)
endfunction()

# Sets VAR to the Debian package that holds FILE, PACKAGE_VERSION, SOURCE (the source
# package) and SOURCE_VERSION from dpkg.
function(_kt_debian_package prefix file)
    execute_process(COMMAND dpkg-query --search "${file}"
                    OUTPUT_VARIABLE owner RESULT_VARIABLE result OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "No Debian package holds ${file}: the notices need its copyright file")
    endif()
    string(REGEX REPLACE ":.*" "" package "${owner}")
    execute_process(COMMAND dpkg-query "--showformat=\${Version};\${source:Package};\${source:Version}"
                            --show "${package}"
                    OUTPUT_VARIABLE fields COMMAND_ERROR_IS_FATAL ANY)
    list(GET fields 0 version)
    list(GET fields 1 source)
    list(GET fields 2 source_version)
    set(${prefix}_PACKAGE "${package}" PARENT_SCOPE)
    set(${prefix}_VERSION "${version}" PARENT_SCOPE)
    set(${prefix}_SOURCE "${source}" PARENT_SCOPE)
    set(${prefix}_SOURCE_VERSION "${source_version}" PARENT_SCOPE)
endfunction()

# kt_windows_notices(OUTPUT_DIR dir PRODUCT name VERSION version QT_VERSION v
#     QT_SOURCE_DIR qtbase-tree QT_SOURCE_PACKAGE_DIR dir QT_SOURCE_ARCHIVE file-name
#     QT_DLLS dll... QT_PARTS id=dll... GCC_RUNTIME dll-path... WINPTHREAD dll-path)
function(kt_windows_notices)
    cmake_parse_arguments(ARG ""
        "OUTPUT_DIR;PRODUCT;VERSION;QT_VERSION;SERIALPORT_VERSION;QT_SOURCE_DIR;QT_SOURCE_PACKAGE_DIR;QT_SOURCE_ARCHIVE;WINPTHREAD"
        "QT_DLLS;SERIALPORT_DLLS;QT_PARTS;GCC_RUNTIME" ${ARGN})
    set(out "${ARG_OUTPUT_DIR}")
    set(qt "${ARG_QT_SOURCE_DIR}")
    file(REMOVE_RECURSE "${out}")
    file(MAKE_DIRECTORY "${out}/licenses")

    # What Qt was built from, as scripts/windows-qt keeps it: Debian's source package of
    # qtbase, the Qt Serial Port tarball and the configure options.
    file(GLOB serialport_tarball RELATIVE "${ARG_QT_SOURCE_PACKAGE_DIR}"
         "${ARG_QT_SOURCE_PACKAGE_DIR}/qtserialport-everywhere-src-*.tar.*")
    file(STRINGS "${qt}/debian/changelog" changelog LIMIT_COUNT 1)
    string(REGEX REPLACE "^[^(]*\\(([^)]*)\\).*" "\\1" debian_version "${changelog}")
    file(GLOB package_files "${ARG_QT_SOURCE_PACKAGE_DIR}/*")
    set(package_list "")
    foreach(file IN LISTS package_files)
        get_filename_component(name "${file}" NAME)
        file(SHA256 "${file}" sum)
        string(APPEND package_list "      ${name}\n        SHA-256 ${sum}\n")
    endforeach()

    file(COPY_FILE "${qt}/LICENSE.LGPL3" "${out}/licenses/LGPL-3.0.txt")
    file(COPY_FILE "${qt}/LICENSE.GPL3" "${out}/licenses/GPL-3.0.txt")

    # The GCC runtime: GPL 3 with the runtime library exception, whose text Debian's copyright
    # file of the runtime package carries.
    list(GET ARG_GCC_RUNTIME 0 gcc_dll)
    _kt_debian_package(gcc "${gcc_dll}")
    set(gcc_copyright "/usr/share/doc/${gcc_PACKAGE}/copyright")
    file(READ "${gcc_copyright}" text)
    string(FIND "${text}" "GCC RUNTIME LIBRARY EXCEPTION" begin)
    string(FIND "${text}" "requirements of the license of GCC." end)
    if(begin LESS 0 OR end LESS begin)
        message(FATAL_ERROR "${gcc_copyright} does not hold the GCC Runtime Library Exception")
    endif()
    math(EXPR length "${end} + 35 - ${begin}")
    string(SUBSTRING "${text}" ${begin} ${length} exception)
    file(WRITE "${out}/licenses/GCC-exception-3.1.txt" "${exception}\n")
    file(COPY_FILE "${gcc_copyright}" "${out}/licenses/${gcc_PACKAGE}.copyright.txt")
    string(REGEX MATCH "^[0-9.]+" gcc_version "${gcc_VERSION}")

    # libwinpthread and the MinGW-w64 start-up code linked into every .exe and .dll.
    _kt_debian_package(mingw "${ARG_WINPTHREAD}")
    set(mingw_copyright "/usr/share/doc/${mingw_PACKAGE}/copyright")
    file(COPY_FILE "${mingw_copyright}" "${out}/licenses/${mingw_PACKAGE}.copyright.txt")

    find_program(QTATTRIBUTIONSSCANNER qtattributionsscanner REQUIRED)
    execute_process(COMMAND ${QTATTRIBUTIONSSCANNER} --silent --output-format json "${qt}/src"
                    OUTPUT_VARIABLE attributions COMMAND_ERROR_IS_FATAL ANY)
    set(parts "")
    set(number 0)
    foreach(part IN LISTS ARG_QT_PARTS)
        string(REPLACE "=" ";" part "${part}")
        list(GET part 0 id)
        list(GET part 1 dll)
        _kt_qt_attribution(notice "${attributions}" "${qt}" "${id}" "${dll}")
        math(EXPR number "${number} + 1")
        string(APPEND parts "\n3.${number} ${notice}\n")
    endforeach()

    list(JOIN ARG_QT_DLLS ", " qt_dlls)
    list(JOIN ARG_SERIALPORT_DLLS ", " serialport_dlls)
    list(TRANSFORM ARG_GCC_RUNTIME REPLACE "^.*/" "" OUTPUT_VARIABLE gcc_dlls)
    list(JOIN gcc_dlls ", " gcc_dlls)
    get_filename_component(winpthread_dll "${ARG_WINPTHREAD}" NAME)

    set(title "Third-party software in ${ARG_PRODUCT} ${ARG_VERSION} for Windows")
    string(REGEX REPLACE "." "=" underline "${title}")
    file(WRITE "${out}/THIRD-PARTY-NOTICES.txt" "${title}
${underline}

${ARG_PRODUCT} itself is under the MIT licence (LICENSE.txt). It is shipped
with the parts below, each under its own licence. The texts of the longer
licences are in the folder licenses/.

1. Qt ${ARG_QT_VERSION}, from Qt's qtbase module
   Files: ${qt_dlls}
   Licence: GNU Lesser General Public License, version 3 (LGPL-3.0-only):
     licenses/LGPL-3.0.txt, with the GNU General Public License, version 3,
     which it supplements: licenses/GPL-3.0.txt.
   Copyright (C) The Qt Company Ltd. and other contributors.
   Source: Debian's source package qtbase-opensource-src, version
     ${debian_version}, built as it comes.

2. Qt Serial Port ${ARG_SERIALPORT_VERSION}
   Files: ${serialport_dlls}
   Licence: LGPL-3.0-only, as Qt above.
   Copyright (C) The Qt Company Ltd. and other contributors.
   Source: ${serialport_tarball}, as the Qt Project releases it.

   The exact source of both, and the options Qt was configured with, are in
   ${ARG_QT_SOURCE_ARCHIVE}, which is distributed beside
   this program. It holds:
${package_list}
   The LGPL lets you change Qt and use your own build of it: build Qt ${ARG_QT_VERSION}
   from that archive as its BUILD-OPTIONS.txt says, with your changes, and put
   your DLLs in place of these.

3. Third-party code compiled into Qt's DLLs
   As Qt's own qt_attribution.json files list them, for the parts of Qt
   built with the options above.
${parts}
4. GCC runtime libraries, GCC ${gcc_version}
   Files: ${gcc_dlls}
   Licence: GNU General Public License, version 3 or later, with the GCC
     Runtime Library Exception, version 3.1 (GPL-3.0-or-later WITH
     GCC-exception-3.1): licenses/GPL-3.0.txt and
     licenses/GCC-exception-3.1.txt.
   Copyright (C) Free Software Foundation, Inc.
   Debian's copyright file of the package: licenses/${gcc_PACKAGE}.copyright.txt
   Source: Debian's source package ${gcc_SOURCE}, version ${gcc_SOURCE_VERSION}
     (binary package ${gcc_PACKAGE} ${gcc_VERSION}).

5. MinGW-w64 runtime
   Files: ${winpthread_dll}, and the start-up code that MinGW-w64 links into
     every .exe and .dll here.
   Licence: MIT-, BSD- and ZPL-style licences, as Debian's copyright file of
     the package names them for each file: licenses/${mingw_PACKAGE}.copyright.txt.
   Source: Debian's source package ${mingw_SOURCE}, version ${mingw_SOURCE_VERSION}
     (binary package ${mingw_PACKAGE} ${mingw_VERSION}).

Debian's source packages named here are in Debian's archive: `apt-get source
PACKAGE=VERSION` on Debian 12 fetches each one.
")
endfunction()
