# Files of src/crc (paths relative to src/).
target_sources(velkorlib PRIVATE
    crc/ICRC.h
    crc/ICRC.cpp
    crc/TCRCModel.h
    crc/TCRC.h
    crc/TCRC_82_DARC.h
    crc/TCRC_82_DARC.cpp
    crc/TCHKSUM_8.h
    crc/crc_catalogue.h
    crc/crc_catalogue.cpp
)
