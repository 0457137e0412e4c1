# Settings, the port list and the port box rule. Every test moves the settings
# store into a temporary folder, so the user's own settings are never touched.
if(VK410_WITH_QT)
  vk410_add_test(test_settings
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/test_settings.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/test_portlist.cpp
    LIBS vk410_files Qt6::Core)
endif()
