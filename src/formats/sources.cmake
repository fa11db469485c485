# Files of src/formats (paths relative to src/).
target_sources(velkorlib PRIVATE
    formats/IFormat.cpp
    formats/IFormat.h
    formats/TDataImage.cpp
    formats/TDataImage.h
    formats/TFormat.cpp
    formats/TFormat.h
    formats/TFormatBIN.cpp
    formats/TFormatBIN.h
    formats/TFormatHEX.cpp
    formats/TFormatHEX.h
)
