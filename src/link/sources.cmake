# Files of src/link (paths relative to src/).
target_sources(velkorlib PRIVATE
    link/TProtocol.cpp
    link/TProtocol.h
)
