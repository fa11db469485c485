# Files of src/data (paths relative to src/).
target_sources(velkorlib PRIVATE
    data/TCtrlProject.cpp
    data/TCtrlProject.h
    data/TDataCfg.cpp
    data/TDataCfg.h
    data/TDataCmd.cpp
    data/TDataCmd.h
    data/TDataPrj.cpp
    data/TDataPrj.h
    data/TDataPrj_paste.cpp
    data/TDataPrj_validate.cpp
)
