# Installing Apricot into a prefix, and the Debian package.
#
# PREFIX/lib/apricot/        apricot, apricot-initdb, apricot_sqlite.so, help/, tools/calc
#                            (the program finds help/ and tools/ beside itself, the set-up
#                            command finds the extension beside itself)
# PREFIX/bin/apricot         launcher: starts the program in the user's data folder
# PREFIX/bin/apricot-initdb  link to the set-up command, for a PostgreSQL server
# PREFIX/share/applications/apricot.desktop, PREFIX/share/icons/hicolor/.../apricot.*

set(APRICOT_PROGRAM_DIR lib/apricot)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/install)

if(TARGET apricot)
  install(TARGETS apricot RUNTIME DESTINATION ${APRICOT_PROGRAM_DIR})
  install(FILES ${PROJECT_SOURCE_DIR}/app/help/apricot.html
          DESTINATION ${APRICOT_PROGRAM_DIR}/help)
endif()
if(TARGET calc)
  install(TARGETS calc RUNTIME DESTINATION ${APRICOT_PROGRAM_DIR}/tools)
endif()
if(TARGET apricot_sqlite)
  install(TARGETS apricot_sqlite LIBRARY DESTINATION ${APRICOT_PROGRAM_DIR})
endif()
if(TARGET apricot-initdb)
  install(TARGETS apricot-initdb RUNTIME DESTINATION ${APRICOT_PROGRAM_DIR})
  # The program resolves its own path, so the link still finds the extension beside the target.
  file(CREATE_LINK ../${APRICOT_PROGRAM_DIR}/apricot-initdb
       ${CMAKE_CURRENT_BINARY_DIR}/install/apricot-initdb SYMBOLIC)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/install/apricot-initdb DESTINATION bin)
endif()

# The launcher finds the program relative to itself, so the tree may be moved. The program reads
# connect.txt from its working directory; a real install starts with empty books.
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/install/apricot @ONLY CONTENT [=[
#!/bin/sh
# Starts Apricot in the user's data folder, creating the embedded database on the first start.
# APRICOT_DEMO=1 fills new books with demo purchases and sales.
set -u
self=$(readlink -f "$0")
program_dir="${self%/*}/../@APRICOT_PROGRAM_DIR@"

# Only an absolute XDG_DATA_HOME counts; a relative one is to be ignored.
case "${XDG_DATA_HOME:-}" in
/*) data_home=$XDG_DATA_HOME ;;
*) data_home="${HOME:?apricot: HOME is not set}/.local/share" ;;
esac
data_dir="$data_home/apricot"

if [ ! -f "$data_dir/connect.txt" ]; then
  mkdir -p "$data_dir"
  status=0
  if [ "${APRICOT_DEMO:-}" = 1 ]; then
    "$program_dir/apricot-initdb" --demo "$data_dir" || status=$?
  else
    "$program_dir/apricot-initdb" "$data_dir" || status=$?
  fi
  # The program still starts: it says in a window that connect.txt is missing.
  [ "$status" = 0 ] || echo "apricot: the database in $data_dir could not be created." >&2
fi

# Without the data folder, start where no connect.txt can be found rather than in another one.
cd "$data_dir" 2>/dev/null || cd /
# An autostart entry must name this script, not the program, which would start in the session's
# folder and find no connect.txt there.
APRICOT_LAUNCHER=$self
export APRICOT_LAUNCHER
exec "$program_dir/apricot" "$@"
]=])
install(PROGRAMS ${CMAKE_CURRENT_BINARY_DIR}/install/apricot DESTINATION bin)

# The desktop entry names the launcher by its full path, which is known only at install time
# (cmake --install --prefix, or the package's /usr); it is written then and installed from here.
set(APRICOT_DESKTOP_FILE ${CMAKE_CURRENT_BINARY_DIR}/install/apricot.desktop)
string(CONFIGURE [=[
set(launcher "${CMAKE_INSTALL_PREFIX}/bin/apricot")
# Exec= quoting: a path with reserved characters goes in double quotes, with ", `, $ and \
# escaped inside; then the value's own escapes: \ as \\, and % as %%.
if(launcher MATCHES "[] \t\n\"'\\\\><~|&;$*?#()`[]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" launcher "${launcher}")
  set(launcher "\"${launcher}\"")
endif()
string(REPLACE "\\" "\\\\" launcher "${launcher}")
string(REPLACE "%" "%%" launcher "${launcher}")
file(WRITE "@APRICOT_DESKTOP_FILE@" "[Desktop Entry]
Type=Application
Name=青杏药店进销存管理系统
Name[zh_CN]=青杏药店进销存管理系统
GenericName=Pharmacy stock and sales
GenericName[zh_CN]=药店进销存管理
Comment=药店的进货、库存、销售记账与报表
Comment[zh_CN]=药店的进货、库存、销售记账与报表
Keywords=pharmacy;stock;sales;purchase;药店;进货;库存;销售;
Exec=${launcher}
Icon=apricot
Terminal=false
Categories=Office;Finance;
")
]=] APRICOT_DESKTOP_CODE @ONLY)
install(CODE "${APRICOT_DESKTOP_CODE}")
install(FILES ${APRICOT_DESKTOP_FILE} DESTINATION share/applications)

install(FILES ${PROJECT_SOURCE_DIR}/res/apricot.svg
        DESTINATION share/icons/hicolor/scalable/apps)
# Bitmap sizes for menus that take no SVG, drawn by Qt's own SVG renderer.
add_executable(apricot_render_icon ${PROJECT_SOURCE_DIR}/cmake/render_icon.cpp)
target_link_libraries(apricot_render_icon PRIVATE Qt6::Svg Qt6::Gui)
foreach(size 48 256)
  set(png ${CMAKE_CURRENT_BINARY_DIR}/install/icons/${size}/apricot.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/install/icons/${size}
    COMMAND apricot_render_icon ${PROJECT_SOURCE_DIR}/res/apricot.svg ${size} ${png}
    DEPENDS apricot_render_icon ${PROJECT_SOURCE_DIR}/res/apricot.svg
    COMMENT "Rendering the ${size}x${size} program icon")
  list(APPEND APRICOT_ICON_PNGS ${png})
  install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(apricot_icons ALL DEPENDS ${APRICOT_ICON_PNGS})

# Everything the install rules take, so that a package build need not build the tests.
add_custom_target(apricot_install_files)
foreach(target apricot calc apricot_sqlite apricot-initdb apricot_icons)
  if(TARGET ${target})
    add_dependencies(apricot_install_files ${target})
  endif()
endforeach()

# The Debian package: cpack -G DEB in a Release build (scripts/package.sh).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME apricot)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Apricot developers")
set(CPACK_PACKAGE_CONTACT "Apricot developers <apricot@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pharmacy stock and sales books - 青杏药店进销存管理系统")
# With DESTDIR the install rules see the real prefix, so the desktop entry names /usr/bin/apricot
# rather than a path in CPack's staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The long description below the summary line; CPack indents it and marks the empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Apricot keeps the books of a retail pharmacy's counter: operators log in,
record purchases and counter sales of whole boxes or split packs, keep stock
cards at a weighted average cost, and draw up sales, stock and purchase
reports, saved as HTML. The interface is in Chinese. The books are kept in an
embedded SQLite database or on a PostgreSQL server shared by several counters,
both through ODBC.

青杏药店进销存管理系统：药店柜台的进货、库存和销售记账程序。操作员登录后录入
进货和零售（整盒或拆零），按加权平均成本管理库存卡，并生成销售、库存和进货
报表，可保存为 HTML 文件。账套保存在内置的 SQLite 数据库中，也可以放在由多个
柜台共用的 PostgreSQL 服务器上，均经 ODBC 访问。")
# The linked libraries (Qt 6 Widgets, Gui, Core, and Svg with its icon plugin; unixODBC's
# libodbc2; libX11) come from dpkg-shlibdeps. What the program loads at run time is named here:
# the window-system plugins, the SQLite ODBC driver, and the CJK font that stands in for SimSun.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libsqliteodbc, fonts-wqy-microhei")
# psqlODBC for a shared PostgreSQL server; unixODBC's isql and odbcinst to look into a connection.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "odbc-postgresql, unixodbc")
include(CPack)
