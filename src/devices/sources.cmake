# Files of src/devices (paths relative to src/).
target_sources(velkorlib PRIVATE
    devices/dev_lists.cpp
    devices/dev_lists.h
    devices/IDevice.cpp
    devices/IDevice.h
    devices/IDeviceExec.cpp
    devices/IDeviceExec.h
    devices/TAutoListItem.h
    devices/TCodeExec.h
    devices/TDeviceList.cpp
    devices/TDeviceList.h
    devices/TDevGroup.cpp
    devices/TDevGroup.h
    devices/TDevProg.cpp
    devices/TDevProgExec.cpp
    devices/TDevProgExec.h
    devices/TDevProg.h
    devices/TDevTools.cpp
    devices/TDevTools.h
    devices/TDevToolsExec.cpp
    devices/TDevToolsExec.h
    devices/text_lines.cpp
    devices/text_lines.h
)
