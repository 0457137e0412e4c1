target_sources(vk410_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/GsmPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormGprs.cpp)
