# What the Windows release zip holds, laid out the way vorbix.exe expects its
# current directory: the two programs at the top beside vorbix.ini, the
# messages\ and sounds\ folders, the game-side zzz_vorbix.pk3 (menus and
# scripts) with the same scripts loose in cfg\, and the guide with its menu
# pictures.
install(TARGETS vorbix vorbixstats RUNTIME DESTINATION .)
install(FILES data/vorbix.ini README.md DESTINATION .)
install(DIRECTORY data/messages data/sounds data/cfg DESTINATION .)
if(VORBIX_PK3)
  install(FILES ${VORBIX_PK3} DESTINATION .)
endif()
install(FILES docs/player-guide.md docs/history-format.md DESTINATION docs)
install(DIRECTORY docs/menus DESTINATION docs)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vorbix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME "vorbix-${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}-win64")
set(CPACK_STRIP_FILES TRUE)
include(CPack)
