# Files of src/gui/forms (paths relative to src/).
target_sources(velkorlib PRIVATE
    gui/forms/TFormDevLeave.cpp
    gui/forms/TFormDevLeave.h
    gui/forms/TFormDevRWV.cpp
    gui/forms/TFormDevRWV.h
    gui/forms/TFormProgAutoDetect.cpp
    gui/forms/TFormProgAutoDetect.h
    gui/forms/TFormProgSetDevice.cpp
    gui/forms/TFormProgSetDevice.h
    gui/forms/TFormTools.cpp
    gui/forms/TFormTools.h
    gui/forms/form_device.cpp
    gui/forms/form_device.h
)
