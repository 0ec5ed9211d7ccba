# Builds the Debian package from the build tree into a scratch folder and
# checks what it holds and what it asks for. Run as
#   cmake -DBUILD_DIR=<build tree> -DSCRATCH=<folder> -P check_package.cmake
cmake_minimum_required(VERSION 3.16)

function(fail message)
    message(FATAL_ERROR "package: ${message}")
endfunction()

file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(
    COMMAND ${CMAKE_CPACK_COMMAND} --config ${BUILD_DIR}/CPackConfig.cmake -G DEB -B ${SCRATCH}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    fail("cpack failed:\n${output}")
endif()
file(GLOB debs ${SCRATCH}/gearpanel_*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
    fail("expected one gearpanel_*.deb, found: ${debs}")
endif()

execute_process(COMMAND dpkg-deb -c ${debs} OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    fail("dpkg-deb -c failed")
endif()
string(REPLACE "\n" ";" lines "${listing}")
# One program folder, laid out like the build tree, and what a desktop needs
# around it.
set(program ./usr/lib/gearpanel)
foreach(entry
        "-rwxr-xr-x .* ${program}/gearpanel$"
        "${program}/Exo-Medium.ttf$"
        "${program}/Exo-OFL.txt$"
        "-rwxr-xr-x .* ${program}/modules/update/romwriter$"
        "${program}/modules/update/libISPDLL.so$"
        "${program}/modules/setting/HWDef0.bin$"
        "${program}/modules/setting/HWDef1.bin$"
        "${program}/modules/setting/KeyCodeDef.bin$"
        "${program}/modules/setting/apConfig.bin$"
        "${program}/modules/setting/apConfigD.bin$"
        "${program}/modules/setting/pD.bin$"
        "${program}/modules/i18n/lang_031000.ini$"
        "${program}/modules/i18n/lang_111000.ini$"
        "${program}/modules/macro0/$"
        "${program}/modules/macro3/$"
        "${program}/modules/img/logo.ico$"
        "${program}/modules/img/skin1/background.png$"
        "${program}/modules/img/skin2/model_kb/k1-0.png$"
        "${program}/modules/media/00.mp3$"
        "${program}/modules/media/04.wav$"
        "-rwxr-xr-x .* ./usr/bin/gearpanel$"
        "-rw-r--r-- .* ./usr/lib/udev/rules.d/70-gearpanel.rules$"
        "./usr/share/applications/gearpanel.desktop$"
        "./usr/share/icons/hicolor/48x48/apps/gearpanel.png$"
        "./usr/share/icons/hicolor/256x256/apps/gearpanel.png$")
    set(found ${lines})
    list(FILTER found INCLUDE REGEX "${entry}")
    if(NOT found)
        fail("no entry matching '${entry}'")
    endif()
endforeach()
# Development leftovers never ship: the emulated keyboard, user profiles,
# demonstration firmware.
foreach(stray "libq3emu" "/p[1-4]\\.bin" "data\\.bin" "README\\.md" "gearpanel-probe")
    if(listing MATCHES "${stray}")
        fail("holds '${stray}'")
    endif()
endforeach()

execute_process(COMMAND dpkg-deb -f ${debs} Depends OUTPUT_VARIABLE depends)
foreach(needed libqt5core5a libqt5quickwidgets5 libhidapi-hidraw0 libudev1 libphonon4qt5
        qml-module-qtquick2 phonon4qt5-backend-gstreamer gstreamer1.0-plugins-good)
    if(NOT depends MATCHES "(^|[ ,])${needed}")
        fail("does not depend on ${needed}: ${depends}")
    endif()
endforeach()

# The files themselves: the udev rule and the desktop entry as installed.
set(tree ${SCRATCH}/tree)
execute_process(COMMAND dpkg-deb -x ${debs} ${tree} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    fail("dpkg-deb -x failed")
endif()
file(READ ${tree}/usr/lib/udev/rules.d/70-gearpanel.rules rule)
foreach(product a1cd 8022)
    if(NOT rule MATCHES "ATTRS\\{idVendor\\}==\"04d9\", ATTRS\\{idProduct\\}==\"${product}\", TAG\\+=\"uaccess\"")
        fail("the udev rule does not give the seat's user product ${product}")
    endif()
endforeach()
if(rule MATCHES "MODE=\"0?6[0-9]6\"" OR rule MATCHES "MODE=\"0?[0-7][0-7][2367]\"")
    fail("the udev rule makes the device writable for everyone")
endif()
file(READ ${tree}/usr/share/applications/gearpanel.desktop desktop)
foreach(line "Type=Application" "Exec=gearpanel" "Icon=gearpanel")
    if(NOT desktop MATCHES "(^|\n)${line}(\n|$)")
        fail("the desktop entry lacks ${line}")
    endif()
endforeach()
# romwriter finds the library beside itself wherever the folder is.
execute_process(COMMAND readelf -d ${tree}/usr/lib/gearpanel/modules/update/romwriter OUTPUT_VARIABLE dynamic)
if(NOT dynamic MATCHES "\\$ORIGIN")
    fail("romwriter does not look beside itself for libISPDLL.so")
endif()
file(REMOVE_RECURSE ${SCRATCH})
message(STATUS "package: ${debs} checked")
