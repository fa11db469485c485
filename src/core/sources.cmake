# Files of src/core (paths relative to src/). main.cpp is the program's own.
target_sources(velkorlib PRIVATE
    core/platform.cpp
)
