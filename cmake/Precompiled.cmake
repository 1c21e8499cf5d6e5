# Precompiled headers for the larger targets: most of a translation unit's compile time is
# spent reading Qt's headers again, so the ones nearly every file includes are read once per
# target. A file still includes what it uses; configure with
# -DFEATHERLOG_PRECOMPILED_HEADERS=OFF to check that it compiles without them.
option(FEATHERLOG_PRECOMPILED_HEADERS "Precompile the most used headers of the larger targets" ON)

set(featherlog_pch_core <QString> <QStringList> <QVariant> <QDate> <QHash> <QFile> <QDir>
    <functional> <map> <memory> <vector>)
set(featherlog_pch_widgets ${featherlog_pch_core} <QApplication> <QTimer> <QWidget> <QDialog>
    <QLabel> <QPushButton> <QLineEdit> <QComboBox> <QBoxLayout> <QTableView> <QHeaderView>)
set(featherlog_pch_core_tests ${featherlog_pch_core} <gtest/gtest.h>)
set(featherlog_pch_widget_tests ${featherlog_pch_widgets} <gtest/gtest.h> <QTest>)

# featherlog_precompile(<core|widgets|core_tests|widget_tests> target...)
function(featherlog_precompile kind)
    if(NOT FEATHERLOG_PRECOMPILED_HEADERS)
        return()
    endif()
    foreach(target ${ARGN})
        target_precompile_headers(${target} PRIVATE ${featherlog_pch_${kind}})
    endforeach()
endfunction()
