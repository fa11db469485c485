# Files of src/gui/dialogs (paths relative to src/).
target_sources(velkorlib PRIVATE
    gui/dialogs/IDialogSetupPage.h
    gui/dialogs/TDialogPrjEdit.cpp
    gui/dialogs/TDialogPrjEdit.h
    gui/dialogs/TDialogSelectDevice.cpp
    gui/dialogs/TDialogSelectDevice.h
    gui/dialogs/TDialogSelectPrjList.cpp
    gui/dialogs/TDialogSelectPrjList.h
    gui/dialogs/TDialogSetupPageConfirm.cpp
    gui/dialogs/TDialogSetupPageConfirm.h
    gui/dialogs/TDialogSetupPageInterface.cpp
    gui/dialogs/TDialogSetupPageInterface.h
    gui/dialogs/TDialogSetupPageMain.cpp
    gui/dialogs/TDialogSetupPageMain.h
    gui/dialogs/TDialogSetupPageProg.cpp
    gui/dialogs/TDialogSetupPageProg.h
    gui/dialogs/TDialogSetupPageProgEdit.cpp
    gui/dialogs/TDialogSetupPageProgEdit.h
    gui/dialogs/TDialogSetupSelect.cpp
    gui/dialogs/TDialogSetupSelect.h
    gui/dialogs/setup_page_misc.cpp
    gui/dialogs/setup_page_misc.h
)
