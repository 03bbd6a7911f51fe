#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include "app/translations.h"

int main(int argc, char** argv) {
    setenv("TZ", "Asia/Shanghai", 1);
    tzset();
    // Window tests never need a real display.
    if (!getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt's own dialogs keep settings (the file dialog its history): never in the user's files.
    std::string config =
        (std::filesystem::temp_directory_path() / "zorvel-uitest-config-XXXXXX").string();
    if (!mkdtemp(config.data()))
        return 2;
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    int result = 0;
    {
        QApplication app(argc, argv);
        // As the program does: Qt's own texts in Chinese.
        if (!zorvel::InstallQtTranslations(app))
            std::fprintf(stderr, "Qt's Chinese translations are missing\n");
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::error_code ec;
    std::filesystem::remove_all(config, ec);
    return result;
}
