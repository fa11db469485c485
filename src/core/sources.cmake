# Files of src/core (paths relative to src/). main.cpp is the program's own.
target_sources(velkorlib PRIVATE
    core/consts.h
    core/helpers.cpp
    core/helpers.h
    core/platform.cpp
    core/platform.h
    core/TAppData.cpp
    core/TAppData.h
    core/TCmdCode.cpp
    core/TCmdCode.h
    core/TCodeView.h
    core/TData.h
    core/TExecState.h
    core/TLang.cpp
    core/TLang.h
    core/TPairStringList.cpp
    core/TPairStringList.h
    core/TSaveFile.cpp
    core/TSaveFile.h
    core/TProgName.cpp
    core/TProgName.h
    core/TProgNameItem.h
    core/TProgType.cpp
    core/TProgType.h
    core/TSettings.cpp
    core/TSettings.h
)
