# Lays DATA/ with the alarm sound, unless a DATA/ is already there: that one
# holds somebody's notes and is never touched.
if(NOT EXISTS "${DATA_DIR}")
  file(MAKE_DIRECTORY "${DATA_DIR}")
  file(COPY "${SOUND}" DESTINATION "${DATA_DIR}")
  message(STATUS "Laid ${DATA_DIR}")
endif()
