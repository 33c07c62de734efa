# The Debian package ol7t_<version>_amd64.deb, made by CPack from its own
# install component "deb" (not part of a plain `cmake --install`): every
# format where Linux hosts look for it system-wide, the render tool and the
# manual. The CLAP, VST 2 and LV2 binaries are relative links to the one
# library in the VST 3 bundle, so the package also works unpacked anywhere.
set(OL7T_PACKAGE_STAGE ${PROJECT_BINARY_DIR}/package-links)
file(MAKE_DIRECTORY ${OL7T_PACKAGE_STAGE}/clap ${OL7T_PACKAGE_STAGE}/vst ${OL7T_PACKAGE_STAGE}/lv2)
file(CREATE_LINK ../vst3/OL-7T.vst3/Contents/x86_64-linux/OL-7T.so ${OL7T_PACKAGE_STAGE}/clap/OL-7T.clap SYMBOLIC)
file(CREATE_LINK ../vst3/OL-7T.vst3/Contents/x86_64-linux/OL-7T.so ${OL7T_PACKAGE_STAGE}/vst/OL-7T.so SYMBOLIC)
file(CREATE_LINK ../../vst3/OL-7T.vst3/Contents/x86_64-linux/OL-7T.so ${OL7T_PACKAGE_STAGE}/lv2/OL-7T.so SYMBOLIC)

# The binaries through install(TARGETS), so that CPack strips them.
install(DIRECTORY ${OL7T_BUNDLE_DIR} DESTINATION lib/vst3 COMPONENT deb EXCLUDE_FROM_ALL
        PATTERN x86_64-linux EXCLUDE)
install(TARGETS ol7t_plugin LIBRARY DESTINATION lib/vst3/OL-7T.vst3/Contents/x86_64-linux
        COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_BINARY_DIR}/lv2/OL-7T.lv2/manifest.ttl ${PROJECT_BINARY_DIR}/lv2/OL-7T.lv2/OL-7T.ttl
              ${PROJECT_BINARY_DIR}/lv2/OL-7T.lv2/presets.ttl
              ${OL7T_PACKAGE_STAGE}/lv2/OL-7T.so
        DESTINATION lib/lv2/OL-7T.lv2 COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${OL7T_PACKAGE_STAGE}/clap/OL-7T.clap DESTINATION lib/clap COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${OL7T_PACKAGE_STAGE}/vst/OL-7T.so DESTINATION lib/vst COMPONENT deb EXCLUDE_FROM_ALL)
install(TARGETS ol7t-render RUNTIME DESTINATION bin COMPONENT deb EXCLUDE_FROM_ALL)
install(DIRECTORY ${OL7T_DOCUMENTATION_DIR}/ DESTINATION share/doc/ol7t COMPONENT deb EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ol7t)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Marrowby")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "OL-7T Leveling Amplifier: optical leveling and limiting")
set(CPACK_PACKAGE_DESCRIPTION
    "A model of an optical-cell leveling amplifier as an audio plug-in, in the VST 3, LV2, CLAP and VST 2 formats, with an offline render tool.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL deb)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME ol7t_${PROJECT_VERSION}_amd64.deb)
set(CPACK_DEBIAN_PACKAGE_NAME ol7t)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Marrowby <support@marrowby.com>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.marrowby.com")
# The libraries the binaries link come from dpkg-shlibdeps; fonts and the
# opener of the manual are what the editor uses without linking them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, xdg-utils")
set(CPACK_STRIP_FILES ON)
include(CPack)
