# Files of src/gui/main (paths relative to src/).
target_sources(velkorlib PRIVATE
    gui/main/startup.cpp
    gui/main/startup.h
    gui/main/TMainWindow.cpp
    gui/main/TMainWindow.h
    gui/main/TMainWindow_edit.cpp
    gui/main/TMainWindow_exec.cpp
)
