lumora_test(ui_captiontab_test CaptionTabLogicTest.cpp SelectionTabLogicTest.cpp CaptionTabTest.cpp SelectionTabTest.cpp
            LIBS lumora_ui)
