# Files of src/link (paths relative to src/).
target_sources(velkorlib PRIVATE
    link/TExec.cpp
    link/TExec.h
    link/run_check.cpp
    link/run_check.h
    link/TPortSettings.h
    link/TProg.cpp
    link/TProg.h
    link/TProtocol.cpp
    link/TProtocol.h
    link/TSerialPort.cpp
    link/TSerialPort.h
)
