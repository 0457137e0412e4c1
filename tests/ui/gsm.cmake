# GSM page, GPRS dialog and masked edit tests. They build the page's sources
# with the model only, so they do not wait on the rest of the window.
set(VK410_GSM_UI_SOURCES
  ${PROJECT_SOURCE_DIR}/src/ui/Dialogs.cpp
  ${PROJECT_SOURCE_DIR}/src/ui/GsmPage.cpp
  ${PROJECT_SOURCE_DIR}/src/ui/GsmEditors.cpp
  ${PROJECT_SOURCE_DIR}/src/ui/GsmGrid.cpp
  ${PROJECT_SOURCE_DIR}/src/ui/FormGprs.cpp
  ${PROJECT_SOURCE_DIR}/src/ui/widgets/MaskEdit.cpp)
add_library(vk410_gsm_ui_under_test STATIC ${VK410_GSM_UI_SOURCES})
target_link_libraries(vk410_gsm_ui_under_test PUBLIC vk410_core Qt6::Widgets)

vk410_add_test(gsm_ui_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_gsmpage_main.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_maskedit.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_formgprs.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_gsmpage_grids.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_gsmpage_switches.cpp
  LIBS vk410_gsm_ui_under_test Qt6::Test
  GUI TIMEOUT 180)
