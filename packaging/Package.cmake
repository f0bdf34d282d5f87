# `cpack` in the build folder makes zelmora_VERSION_ARCH.deb from what `cmake --install` puts in place.
set(CPACK_GENERATOR DEB)
if(ZELMORA_TEST_HOOKS)
    message(STATUS "ZELMORA_TEST_HOOKS is on: a package of this build carries the test hooks; "
                   "make packages from a Release build")
endif()
set(CPACK_PACKAGE_NAME zelmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zelmora developers")
set(CPACK_PACKAGE_CONTACT "Zelmora developers <zelmora@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop companion for the Cybozu Office 4 groupware")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The body of the description: dpkg wants no summary repeated, no leading spaces (CPack adds them).
set(CPACK_PACKAGE_DESCRIPTION
    "Zelmora sits in the system tray beside the web browser and shows the
whereabouts board of the user's groups, keeps the user's own whereabouts up
to date, announces new mail, circulars, telephone memos, bulletin articles
and workflow items, rings alarms before today's appointments, writes
telephone memos and opens groupware pages already logged in. Its windows and
messages are in Japanese. zelmora-cli reaches the same server from scripts.

サイボウズOffice4の在席確認(行き先)、新着のお知らせ、予定のアラーム、
電話メモをタスクトレイから扱う常駐プログラムです。")
# Libraries come from dpkg-shlibdeps; what is loaded at run time is listed: the browser's helper
# program, the SVG plugins of the icon.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6webenginecore6-bin, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic, xdg-utils, qt6-qpa-plugins, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gnome-shell-extension-appindicator")

include(CPack)
