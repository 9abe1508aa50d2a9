# The application bundle Vendrel.app in the build folder:
#   Contents/Info.plist                                           (from app/Info.plist.in)
#   Contents/MacOS/Vendrel                                        (the application)
#   Contents/Library/LaunchServices/com.Vendrel.Ostrand.DaemonServer  (the daemon it installs)
#   Contents/Resources/                                           (app/resources, when present)
# scripts/install-app.sh puts it at "/Applications/Vendrel.app" on a volume. The executables
# are copies, not links: the daemon identifies its client by the executable's real path.
include(${CMAKE_SOURCE_DIR}/daemon/version.cmake)

set(VENDREL_BUNDLE ${CMAKE_BINARY_DIR}/Vendrel.app)
set(VENDREL_BUNDLE_INFO ${CMAKE_BINARY_DIR}/app_bundle/Info.plist)
configure_file(${CMAKE_SOURCE_DIR}/app/Info.plist.in ${VENDREL_BUNDLE_INFO} @ONLY)
file(GLOB_RECURSE VENDREL_BUNDLE_RESOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/app/resources/*)

set(copy_resources)
if(EXISTS ${CMAKE_SOURCE_DIR}/app/resources)
  set(copy_resources COMMAND ${CMAKE_COMMAND} -E copy_directory
      ${CMAKE_SOURCE_DIR}/app/resources ${VENDREL_BUNDLE}/Contents/Resources)
endif()

add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/app_bundle/bundle.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VENDREL_BUNDLE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VENDREL_BUNDLE}/Contents/MacOS
          ${VENDREL_BUNDLE}/Contents/Library/LaunchServices ${VENDREL_BUNDLE}/Contents/Resources
  COMMAND ${CMAKE_COMMAND} -E copy ${VENDREL_BUNDLE_INFO} ${VENDREL_BUNDLE}/Contents/Info.plist
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Vendrel> ${VENDREL_BUNDLE}/Contents/MacOS/Vendrel
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:com.Vendrel.Ostrand.DaemonServer>
          ${VENDREL_BUNDLE}/Contents/Library/LaunchServices/com.Vendrel.Ostrand.DaemonServer
  ${copy_resources}
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/app_bundle/bundle.stamp
  DEPENDS Vendrel com.Vendrel.Ostrand.DaemonServer ${VENDREL_BUNDLE_INFO} ${VENDREL_BUNDLE_RESOURCES}
  COMMENT "Assembling Vendrel.app"
  VERBATIM)
add_custom_target(vendrel_bundle ALL DEPENDS ${CMAKE_BINARY_DIR}/app_bundle/bundle.stamp)

# Tests install the bundle into their temporary volumes.
foreach(area platform common app daemon tools ui)
  if(TARGET tests_${area})
    add_dependencies(tests_${area} vendrel_bundle)
  endif()
endforeach()
