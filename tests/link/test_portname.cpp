// The device that a port box text names.
#include <gtest/gtest.h>

#include "link/PortName.h"

TEST(PortName, PortBoxTextsAndTheirDevices)
{
    const std::pair<const char*, const char*> cases[] = {
#ifdef _WIN32
        {"COM1", "\\\\.\\COM1"},
        {"COM16", "\\\\.\\COM16"},
        {"com8", "\\\\.\\COM8"},
        {"COM", "\\\\.\\COM"},
        {"COMX", "\\\\.\\COMX"},
        {"/dev/ttyS0", ""},
        {"ttyUSB1", ""},
#else
        {"COM1", "/dev/ttyS0"},
        {"COM4", "/dev/ttyS3"},
        {"COM16", "/dev/ttyS15"},
        {"com8", "/dev/ttyS7"},      // as many Windows users write it
        {"Com2", "/dev/ttyS1"},
        {"COM-1", "/dev/COM-1"},     // not a port number: taken as a name
        {"COMX", "/dev/COMX"},
        {"COM", "/dev/COM"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"/tmp/panel", "/tmp/panel"},
        {"ttyUSB1", "/dev/ttyUSB1"},
        {"ttyACM0", "/dev/ttyACM0"},
#endif
        {"COM0", ""},                // a number no port has
        {"COM01", ""},
        {"tty", ""},                 // the controlling terminal, no port
        {"", ""},
        {"USB0", ""},
        {"panel", ""},
    };
    for (const auto& [text, device] : cases)
        EXPECT_EQ(vk410::DeviceForPortText(QString::fromUtf8(text)), QString::fromUtf8(device)) << text;
}
