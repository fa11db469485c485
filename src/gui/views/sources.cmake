# Files of src/gui/views (paths relative to src/).
target_sources(velkorlib PRIVATE
    gui/views/TWgtPrj.cpp
    gui/views/TWgtPrj.h
    gui/views/TWgtPrjList.cpp
    gui/views/TWgtPrjList.h
)
