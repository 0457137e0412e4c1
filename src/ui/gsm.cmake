target_sources(vk410_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/GsmPage.h
  ${CMAKE_CURRENT_LIST_DIR}/GsmPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GsmPageImpl.h
  ${CMAKE_CURRENT_LIST_DIR}/GsmEditors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GsmGrid.h
  ${CMAKE_CURRENT_LIST_DIR}/GsmGrid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormGprs.h
  ${CMAKE_CURRENT_LIST_DIR}/FormGprs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/widgets/MaskEdit.h
  ${CMAKE_CURRENT_LIST_DIR}/widgets/MaskEdit.cpp)
