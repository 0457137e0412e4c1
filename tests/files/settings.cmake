# Settings, the port list and the port box rule. Every test moves the settings
# store into a temporary folder, so the user's own settings are never touched.
if(VK410_WITH_QT)
  if(WIN32)
    set(portlist test_portlist_win32.cpp) # the registry's list, not sysfs
  else()
    set(portlist test_portlist.cpp)
  endif()
  vk410_add_test(test_settings
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/test_settings.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/${portlist}
    LIBS vk410_files Qt6::Core)
endif()
