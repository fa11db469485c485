# Files of src/gui/views (paths relative to src/).
target_sources(velkorlib PRIVATE
    gui/views/TSplitterPos.h
    gui/views/TWgtCmdList.cpp
    gui/views/TWgtCmdList.h
    gui/views/TWgtConfig.cpp
    gui/views/TWgtConfig.h
    gui/views/TWgtLogExec.cpp
    gui/views/TWgtLogExec.h
    gui/views/TWgtPrj.cpp
    gui/views/TWgtPrj.h
    gui/views/TWgtPrjList.cpp
    gui/views/TWgtPrjList.h
    gui/views/view_messages.h
)
