# Files of src/devices (paths relative to src/).
target_sources(velkorlib PRIVATE
    devices/TAutoListItem.h
    devices/TDeviceList.cpp
    devices/TDeviceList.h
    devices/dev_lists.cpp
    devices/dev_lists.h
    devices/text_lines.cpp
    devices/text_lines.h
)
