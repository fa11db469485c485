# Files of src/misc (paths relative to src/).
target_sources(velkorlib PRIVATE
    misc/TNormCmdParam.cpp
    misc/TNormCmdParam.h
    misc/TRangeSet.cpp
    misc/TRangeSet.h
    misc/chunks.cpp
    misc/chunks.h
    misc/dev_misc.cpp
    misc/dev_misc.h
)
