# Files of src/gui/dialogs (paths relative to src/).
target_sources(velkorlib PRIVATE
    gui/dialogs/TDialogSelectDevice.cpp
    gui/dialogs/TDialogSelectDevice.h
)
